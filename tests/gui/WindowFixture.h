#pragma once
// The real main window, started as the program starts it: shipped texts in English, an en_US number
// format, an empty clipboard, its working folders under a temporary folder of its own and its boxes
// answered by scripted dialogs. Controls are reached by their object names, as a user finds them by
// their place on the window.
#include "engines/CipherEngine.h"
#include "gui/frmMain.h"
#include "pipeline/EncryptPipeline.h"
#include "support/KeyEntry.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

// Alt plus the underlined letter: each command shown in `window` (and each label given) has a key of
// its own. Controls of child windows are left to their own window.
inline void ExpectOwnAccessKeys(const QWidget* window, const QList<const QLabel*>& labels = {})
{
    std::map<QString, QString> taken; // key -> control
    const auto check = [&](const QWidget* control, const QString& caption) {
        const QString key = QKeySequence::mnemonic(caption).toString();
        EXPECT_FALSE(key.isEmpty()) << (control->objectName() + ": " + caption).toStdString();
        if (!key.isEmpty()) {
            const auto [holder, added] = taken.emplace(key, control->objectName());
            EXPECT_TRUE(added) << (control->objectName() + " and " + holder->second + " share " + key).toStdString();
        }
    };
    for (const QAbstractButton* command : window->findChildren<QAbstractButton*>())
        if (command->window() == window && command->isVisibleTo(window))
            check(command, command->text());
    for (const QLabel* label : labels)
        check(label, label->text());
}

// The name a screen reader says for the widget.
inline QString AccessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face == nullptr ? QString() : face->text(QAccessible::Name);
}

// Every control of `window` a keyboard user can reach now (its child windows left to themselves).
inline std::vector<QWidget*> FocusableControls(const QWidget* window)
{
    std::vector<QWidget*> found;
    for (QWidget* widget : window->findChildren<QWidget*>())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window) && widget->window() == window &&
            widget->metaObject()->className() != QByteArray("QWidget"))
            found.push_back(widget);
    return found;
}

// A screen reader has a name to say for every control a keyboard user can reach in `window`.
inline void ExpectEveryFocusableControlNamed(const QWidget* window)
{
    const std::vector<QWidget*> controls = FocusableControls(window);
    EXPECT_FALSE(controls.empty());
    for (QWidget* control : controls)
        EXPECT_FALSE(AccessibleName(control).trimmed().isEmpty()) << control->objectName().toStdString();
}

// WCAG 2.1 relative luminance and contrast ratio.
inline double Luminance(const QColor& colour)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

inline double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The focused `target` of `window` is marked by the focus ring: there, around the whole control, and
// at least 3:1 against what it stands on (the middle of its left side, with the ring and without it).
inline void ExpectFocusRingAround(QWidget* window, QWidget* target)
{
    QApplication::processEvents();
    QWidget* ring = nullptr; // this window's own, not one of a child window
    for (QWidget* candidate : window->findChildren<QWidget*>(QStringLiteral("FocusRing")))
        if (candidate->window() == window)
            ring = candidate;
    ASSERT_NE(ring, nullptr);
    ASSERT_TRUE(ring->isVisible());
    const QRect around(ring->mapTo(window, QPoint(0, 0)), ring->size());
    const QRect marked(target->mapTo(window, QPoint(0, 0)), target->size());
    EXPECT_TRUE(around.contains(marked)) << "the ring covers part of the control";
    const QPoint spot = around.topLeft() + QPoint(0, around.height() / 2);
    const auto pixelAt = [&](QPoint p) {
        const QImage shot = window->grab().toImage();
        const qreal scale = shot.devicePixelRatio();
        return shot.pixelColor(int(p.x() * scale), int(p.y() * scale));
    };
    const QColor ringColour = pixelAt(spot);
    ring->hide();
    const QColor ground = pixelAt(spot);
    ring->show();
    EXPECT_GE(Contrast(ringColour, ground), 3.0)
        << ringColour.name().toStdString() << " on " << ground.name().toStdString();
}

// Every window test starts from the shipped program texts; the secondary windows' tests need no more.
class ShippedTextsFixture : public ::testing::Test {
  public:
    void SetUp() override { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }
};

template <typename DialogsType = ScriptedDialogs> class WindowFixture : public ShippedTextsFixture {
  public:
    void SetUp() override
    {
        ASSERT_TRUE(workFolder.isValid());
        ShippedTextsFixture::SetUp();
        if (HasFatalFailure())
            return;
        Language::StoreLanguage(Language::English);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QGuiApplication::clipboard()->clear();
        StartWindow();
    }

    // A new main window in place of the current one, loaded as at start-up.
    void StartWindow()
    {
        window = std::make_unique<frmMain>(dialogs, workFolder.path());
        window->Form_Load();
    }

    void TearDown() override
    {
        QGuiApplication::clipboard()->clear();
        QLocale::setDefault(QLocale::system());
    }

    // The control of the main window with that object name; a missing one fails the test.
    template <typename Widget> Widget* control(const QString& name) const
    {
        auto* widget = window->findChild<Widget*>(name);
        if (widget == nullptr)
            throw std::runtime_error("the main window has no control " + name.toStdString() + " of that kind");
        return widget;
    }
    QPushButton* button(const QString& name) const { return control<QPushButton>(name); }
    QLabel* label(const QString& name) const { return control<QLabel>(name); }
    QLineEdit* field(const QString& name) const { return control<QLineEdit>(name); }
    QRadioButton* option(const QString& name) const { return control<QRadioButton>(name); }
    QFrame* frame(const QString& name) const { return control<QFrame>(name); }
    QPlainTextEdit* txbText() const { return control<QPlainTextEdit>(QStringLiteral("txbText")); }
    QLineEdit* txbQuickKey() const { return field(QStringLiteral("txbQuickKey")); }
    QLineEdit* txbFile(int index) const { return field(QStringLiteral("txbFile%1").arg(index)); }
    QPushButton* cmdSpecifyFile(int index) const { return button(QStringLiteral("cmdSpecifyFile%1").arg(index)); }
    QPushButton* cmdClearFile(int index) const { return button(QStringLiteral("cmdClearFile%1").arg(index)); }

    // Enters the key through the key-entry window, as the user does; the key stays shown.
    void EnterKey(const QString& key) { ASSERT_TRUE(key_entry::EnterKey(*window, key)); }

    QTemporaryDir workFolder; // the base of the window's working folders: empty again after every run
    DialogsType dialogs;
    std::unique_ptr<frmMain> window;
};

// The main window on screen, with the fast key derivation for the whole suite and a folder of the
// test's own, for tests that run whole commands in the window.
template <typename DialogsType = ScriptedDialogs> class ShownWindowFixture : public WindowFixture<DialogsType> {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WindowFixture<DialogsType>::SetUp();
        this->window->SetKdfLevel(KdfLevel::Interactive);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(this->window.get()));
    }

    QString Path(const QString& name) const { return dir.path() + '/' + name; }

    // The key these suites encrypt and decrypt with.
    static inline const QString Key = QStringLiteral("Correct Horse Battery Staple 42");

    // A ciphertext "letter.zip" of `message` (and the file, when named), made with Key by the encrypt
    // pipeline as the sender's Quillet makes it; its path.
    QString MakeCiphertext(const QString& message, const QString& fileToAppend = {})
    {
        ScriptedDialogs quiet;
        EncryptRequest request;
        request.message = message;
        request.fileToAppend = fileToAppend;
        request.outputPath = Path(QStringLiteral("letter.zip"));
        request.mayReplace = true; // a case may make its letter more than once
        request.quickKey = Key;
        request.kdfLevel = KdfLevel::Interactive;
        request.workingFolderBase = this->workFolder.path();
        EXPECT_TRUE(EncryptMessage(request, quiet).success);
        return request.outputPath;
    }

    QTemporaryDir dir; // the user's files; the working folders live in workFolder
};

// A shown window with Key already entered, as a user starts a command.
template <typename DialogsType = ScriptedDialogs> class KeyedWindowFixture : public ShownWindowFixture<DialogsType> {
  protected:
    void SetUp() override
    {
        ShownWindowFixture<DialogsType>::SetUp();
        if (this->HasFatalFailure())
            return;
        this->EnterKey(this->Key);
    }
};
