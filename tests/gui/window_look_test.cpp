// How the main window looks on any desktop: every text readable on its ground in a light and a dark
// palette (before, during and after a run, and when the palette changes while the window is open),
// one font (the desktop's) at the desktop's size, the controls of a row apart, no empty band in
// decrypt mode, a hint in the empty message box, and a window that fits the screen it opens on.
#include "gui/FitToScreen.h"
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/WatchingDialogs.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The dark palette of a desktop theme (qt6ct's "darker"), with its own link and disabled colours.
QPalette DarkerTheme()
{
    QPalette dark;
    const auto set = [&](QPalette::ColorRole role, const char* active, const char* disabled) {
        dark.setColor(QPalette::Active, role, QColor(QLatin1String(active)));
        dark.setColor(QPalette::Inactive, role, QColor(QLatin1String(active)));
        dark.setColor(QPalette::Disabled, role, QColor(QLatin1String(disabled)));
    };
    set(QPalette::WindowText, "#ffffff", "#808080");
    set(QPalette::Button, "#424245", "#424245");
    set(QPalette::Light, "#979797", "#979797");
    set(QPalette::Midlight, "#5e5c5b", "#5e5c5b");
    set(QPalette::Dark, "#302f2e", "#302f2e");
    set(QPalette::Mid, "#4a4947", "#4a4947");
    set(QPalette::Text, "#ffffff", "#808080");
    set(QPalette::ButtonText, "#ffffff", "#808080");
    set(QPalette::Base, "#3d3d3d", "#3d3d3d");
    set(QPalette::Window, "#222020", "#222020");
    set(QPalette::Highlight, "#12608a", "#12608a");
    set(QPalette::HighlightedText, "#f9f9f9", "#808080");
    set(QPalette::Link, "#0986d3", "#0986d3");
    set(QPalette::AlternateBase, "#5c5b5a", "#5c5b5a");
    set(QPalette::PlaceholderText, "#80ffffff", "#80ffffff");
    return dark;
}

// A dark palette that sets only the main roles: the link and the disabled texts keep what a light
// palette has (a pure blue link, light greys), as a hastily made theme does.
QPalette HastyDark()
{
    QPalette dark;
    const QColor window(0x2D, 0x2D, 0x30), base(0x1E, 0x1E, 0x1E), text(0xE8, 0xE8, 0xE8);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        dark.setColor(group, QPalette::Window, window);
        dark.setColor(group, QPalette::WindowText, text);
        dark.setColor(group, QPalette::Base, base);
        dark.setColor(group, QPalette::Text, text);
        dark.setColor(group, QPalette::Button, window);
        dark.setColor(group, QPalette::ButtonText, text);
    }
    dark.setColor(QPalette::Disabled, QPalette::Window, window);
    dark.setColor(QPalette::Disabled, QPalette::Base, base);
    dark.setColor(QPalette::Disabled, QPalette::Button, window);
    dark.setColor(QPalette::Link, QColor(0x00, 0x00, 0xFF));
    return dark;
}

// One text of the window as a reader meets it: its colour (a transparent one as it shows on its
// ground) and the colour it stands on.
struct Reading {
    QString where;
    QColor text;
    QColor ground;
    bool enabled;
};

QColor OnGround(const QColor& colour, const QColor& ground)
{
    const double a = colour.alphaF();
    return QColor::fromRgbF(float(colour.redF() * a + ground.redF() * (1 - a)),
                            float(colour.greenF() * a + ground.greenF() * (1 - a)),
                            float(colour.blueF() * a + ground.blueF() * (1 - a)));
}

QPalette::ColorGroup GroupOf(const QWidget* widget)
{
    return widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
}

// What is painted under a label's or an option's text: a field it lies on (the "no key" notice on
// the key box), else the nearest container that fills its background, else the window.
QColor GroundUnder(const QWidget* widget)
{
    const QPoint textStart = widget->geometry().topLeft() + QPoint(widget->width() / 8, widget->height() / 2);
    for (const QLineEdit* field : widget->parentWidget()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        if (field->isVisible() && field->geometry().contains(textStart))
            return field->palette().color(GroupOf(field), QPalette::Base);
    const QWidget* container = widget->parentWidget();
    while (!container->isWindow() && !container->autoFillBackground())
        container = container->parentWidget();
    return container->palette().color(GroupOf(widget), container->backgroundRole());
}

Reading Read(const QWidget* widget, QPalette::ColorRole textRole, const QColor& ground, const QString& what)
{
    return {widget->objectName() + ' ' + what, OnGround(widget->palette().color(GroupOf(widget), textRole), ground),
            ground, widget->isEnabled()};
}

Reading Read(const QWidget* widget, QPalette::ColorRole textRole, QPalette::ColorRole groundRole, const QString& what)
{
    return Read(widget, textRole, widget->palette().color(GroupOf(widget), groundRole), what);
}

// Every text shown in `window` now: captions of labels and buttons, the contents (or else the
// placeholder) of the text fields, the chosen entry of a list.
std::vector<Reading> TextsOf(QWidget* window)
{
    std::vector<Reading> texts;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !widget->isVisible())
            continue;
        if (const auto* label = qobject_cast<QLabel*>(widget); label != nullptr && !label->text().isEmpty())
            texts.push_back(Read(label, label->foregroundRole(), GroundUnder(label), label->text()));
        else if (const auto* push = qobject_cast<QPushButton*>(widget); push != nullptr && !push->text().isEmpty())
            texts.push_back(Read(push, QPalette::ButtonText, QPalette::Button, push->text()));
        else if (const auto* option = qobject_cast<QAbstractButton*>(widget);
                 option != nullptr && !option->text().isEmpty())
            texts.push_back(Read(option, option->foregroundRole(), GroundUnder(option), option->text()));
        else if (const auto* field = qobject_cast<QLineEdit*>(widget); field != nullptr && field->text().isEmpty()) {
            if (!field->placeholderText().isEmpty())
                texts.push_back(Read(field, QPalette::PlaceholderText, QPalette::Base, field->placeholderText()));
        } else if (field != nullptr)
            texts.push_back(Read(field, QPalette::Text, QPalette::Base, field->text()));
        else if (const auto* box = qobject_cast<QPlainTextEdit*>(widget); box != nullptr) {
            const bool empty = box->toPlainText().isEmpty();
            texts.push_back(Read(box, empty ? QPalette::PlaceholderText : QPalette::Text, QPalette::Base,
                                 empty ? box->placeholderText() : box->toPlainText()));
        } else if (const auto* list = qobject_cast<QComboBox*>(widget); list != nullptr)
            texts.push_back(Read(list, QPalette::ButtonText, QPalette::Button, list->currentText()));
    }
    return texts;
}

// Enabled texts at least 4.5:1 against their ground (WCAG AA), disabled ones at least 3:1 (seen, and
// told apart from the enabled ones). The busy line is read while its box is disabled: it is held to
// 4.5:1 as well.
void ExpectEveryTextReadable(frmMain* window, const std::string& moment)
{
    SCOPED_TRACE(moment);
    const std::vector<Reading> texts = TextsOf(window);
    EXPECT_GT(texts.size(), 20u);
    for (const Reading& r : texts) {
        const bool busyLine = window->BusyLineShown() && r.where.startsWith(QLatin1String("txbQuickKey"));
        const double needed = r.enabled || busyLine ? 4.5 : 3.0;
        EXPECT_GE(Contrast(r.text, r.ground), needed)
            << r.where.toStdString() << ": " << r.text.name().toStdString() << " on " << r.ground.name().toStdString()
            << (r.enabled ? "" : " (disabled)");
    }
}

class WindowLookTest : public KeyedWindowFixture<WatchingDialogs> {
  protected:
    void TearDown() override
    {
        QApplication::setPalette(desktopPalette);
        KeyedWindowFixture::TearDown();
    }

    // An encryption through the Encrypt button; `during` looks at the window while it works.
    void Encrypt(const std::function<void()>& during = {})
    {
        txbText()->setPlainText(QStringLiteral("See you on Friday."));
        txbFile(1)->setText(Path("for-anna.zip"));
        dialogs.onMessage = [&](const MessageRequest& box) {
            if (box.question == QuestionId::OfferToAppendFile && during) {
                ASSERT_TRUE(window->BusyLineShown());
                during();
            }
        };
        dialogs.queueAnswer(DialogAnswer::No); // nothing to attach
        dialogs.queueAnswer(DialogAnswer::Ok);
        button(QStringLiteral("cmdEncryptMessage"))->click();
        dialogs.onMessage = nullptr;
        ASSERT_TRUE(QFile::exists(Path("for-anna.zip")));
    }

    void ExpectReadableThroughARun(const std::string& palette)
    {
        ExpectEveryTextReadable(window.get(), palette + ", before a run");
        Encrypt([&] { ExpectEveryTextReadable(window.get(), palette + ", while it works"); });
        ExpectEveryTextReadable(window.get(), palette + ", after a run");
        option(QStringLiteral("optDecrypt"))->click();
        ExpectEveryTextReadable(window.get(), palette + ", decrypt mode");
        option(QStringLiteral("optEncrypt"))->click();
    }

    const QPalette desktopPalette = QApplication::palette();
};

TEST_F(WindowLookTest, EveryTextIsReadableInALightAndADarkPalette)
{
    ExpectReadableThroughARun("light");
    for (const auto& [name, palette] :
         {std::pair{"darker theme", DarkerTheme()}, std::pair{"hasty dark", HastyDark()}}) {
        QApplication::setPalette(palette);
        QApplication::processEvents(); // the change reaches the widgets as posted events
        StartWindow();
        EnterKey(Key);
        ExpectReadableThroughARun(name);
    }
}

// The desktop turns dark (or light again) while the window is open, after a run: every colour follows,
// the key among them.
TEST_F(WindowLookTest, ThePaletteChangedWhileTheWindowIsOpenReachesEveryText)
{
    Encrypt();
    QApplication::setPalette(DarkerTheme());
    QApplication::processEvents(); // the change reaches the widgets as posted events
    ExpectEveryTextReadable(window.get(), "turned dark");
    EXPECT_EQ(txbQuickKey()->palette().color(QPalette::Text), DarkerTheme().color(QPalette::Text))
        << "the key in the theme's own text colour";
    QApplication::setPalette(desktopPalette);
    QApplication::processEvents();
    ExpectEveryTextReadable(window.get(), "light again");
    EXPECT_EQ(txbQuickKey()->palette().color(QPalette::Text), desktopPalette.color(QPalette::Text));
}

// One font, the desktop's, at its size: no family or size of the window's own on any control.
TEST_F(WindowLookTest, EveryControlUsesTheDesktopsFontAtItsSize)
{
    QFont desktop = QApplication::font();
    desktop.setFamily(QStringLiteral("Liberation Serif")); // unlike any family the window could choose
    desktop.setPointSize(13);
    QApplication::setFont(desktop);
    StartWindow();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window.get() || widget->objectName().isEmpty())
            continue;
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_EQ(widget->font().family(), desktop.family());
        EXPECT_EQ(widget->font().pointSize(), desktop.pointSize());
    }
    QApplication::setFont(QFont());
}

// In every row of controls, each stands apart from the next (Hide and Clear beside the key field
// among them), in both languages and with the key shown.
TEST_F(WindowLookTest, NoTwoControlsOfARowTouch)
{
    for (const int language : {Language::English, Language::German}) {
        control<QComboBox>(QStringLiteral("cboLanguage"))->setCurrentIndex(language);
        window->cboLanguage_Click();
        QApplication::processEvents();
        for (const char* frameName : {"Frame0", "Frame1", "Frame2", "Frame4", "Frame5"}) {
            std::vector<QWidget*> row;
            for (QWidget* part : frame(QLatin1String(frameName))->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (part->isVisible() && part->objectName() != QLatin1String("lblNoKeySpecified") &&
                    part->objectName() != QLatin1String("FocusRing"))
                    row.push_back(part);
            for (std::size_t a = 0; a < row.size(); ++a)
                for (std::size_t b = a + 1; b < row.size(); ++b) {
                    SCOPED_TRACE(std::string(frameName) + " language " + std::to_string(language));
                    // Two pixels of air at least on either side.
                    EXPECT_FALSE(row[a]->geometry().adjusted(-2, 0, 2, 0).intersects(row[b]->geometry()))
                        << row[a]->objectName().toStdString() << " and " << row[b]->objectName().toStdString()
                        << " touch";
                }
        }
    }
}

// Until a file came along, decrypt mode has no second row; the message box takes its place.
TEST_F(WindowLookTest, InDecryptModeTheMessageBoxTakesTheOutputRowsPlace)
{
    QApplication::processEvents();
    const int encryptHeight = txbText()->height();
    option(QStringLiteral("optDecrypt"))->click();
    QApplication::processEvents();
    EXPECT_FALSE(frame(QStringLiteral("Frame1"))->isVisible());
    EXPECT_GE(txbText()->height(), encryptHeight + frame(QStringLiteral("Frame1"))->sizeHint().height());
}

TEST_F(WindowLookTest, TheEmptyMessageBoxSaysWhatGoesThereInBothLanguagesAndModes)
{
    for (const int language : {Language::English, Language::German}) {
        control<QComboBox>(QStringLiteral("cboLanguage"))->setCurrentIndex(language);
        window->cboLanguage_Click();
        option(QStringLiteral("optEncrypt"))->click();
        const QString typing = txbText()->placeholderText();
        EXPECT_EQ(typing, Text(MainWindowTexts::MessagePlaceholder, language));
        option(QStringLiteral("optDecrypt"))->click();
        EXPECT_EQ(txbText()->placeholderText(), Text(MainWindowTexts::DecryptedMessagePlaceholder, language));
        EXPECT_FALSE(typing.isEmpty());
        EXPECT_NE(typing, txbText()->placeholderText());
    }
}

// The window's frame at the top left of the free area; as designed where it fits, else as large as
// the area allows, never below the minimum. Sizes in logical pixels: a 1920 x 1080 screen at scale
// 2 is 960 x 540 of them.
TEST(FitToScreenTest, TheWindowOpensWhollyOnTheScreenAtAnyScale)
{
    const QSize wanted(780, 538), minimum(700, 400);
    const QMargins frame(2, 24, 2, 2);
    const struct {
        QRect available;
        QRect expected;
    } cases[] = {
        {{0, 0, 1280, 1024}, {2, 24, 780, 538}},
        {{0, 0, 960, 540}, {2, 24, 780, 514}},       // scale 2 on 1080 lines: shorter, bottom on the screen
        {{0, 32, 960, 508}, {2, 56, 780, 482}},      // a panel at the top
        {{0, 0, 640, 360}, {2, 24, 700, 400}},       // smaller than the minimum: the minimum
        {{1920, 0, 800, 600}, {1922, 24, 780, 538}}, // a second screen
    };
    for (const auto& c : cases) {
        const QRect placed = FitIntoArea(c.available, wanted, minimum, frame);
        EXPECT_EQ(placed, c.expected) << c.available.width() << "x" << c.available.height();
        if (c.available.height() >= minimum.height() + frame.top() + frame.bottom()) {
            EXPECT_LE(placed.bottom() + frame.bottom(), c.available.bottom());
        }
    }
}

TEST_F(WindowLookTest, TheWindowFitsItsScreenAndShrinksToItsMinimum)
{
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry()))
        << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " on " << available.width()
        << "x" << available.height();
    window->resize(window->minimumSize());
    QApplication::processEvents();
    EXPECT_EQ(window->size(), window->minimumSize());
}

} // namespace
