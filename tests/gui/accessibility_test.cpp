// The main window for keyboard and screen-reader users: names through Qt's accessibility interface
// in both languages, the Tab order, Tab and Ctrl+Tab in the message box, the help link by keyboard,
// colours a user can tell apart, the minimum size, and a whole encryption and decryption by keys.
#include "engines/CipherEngine.h"
#include "gui/WindowFixture.h"
#include "gui/frmKeyboardWithDisplay.h"
#include "gui/frmMain.h"
#include "gui/frmRandomnessGraphic.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>

namespace {

// True when the widget's Label relation leads to an object named `label` (how AT-SPI names a combo box).
bool LabelledBy(QWidget* widget, const QString& label)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    if (face == nullptr)
        return false;
    for (const auto& relation : face->relations(QAccessible::Label))
        if (relation.first != nullptr && relation.first->text(QAccessible::Name) == label)
            return true;
    return false;
}

class AccessibilityTest : public ShownWindowFixture<ScriptedDialogs> {
  protected:
    // Gives the keyboard focus to `widget` in the main window. The offscreen platform leaves a closed
    // key-entry window the active one (a window manager gives the activation back), so it is set here.
    void FocusOn(QWidget* widget)
    {
        QApplication::setActiveWindow(window.get());
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), widget) << widget->objectName().toStdString();
    }

    void ChooseLanguage(int language)
    {
        control<QComboBox>(QStringLiteral("cboLanguage"))->setCurrentIndex(language);
        window->cboLanguage_Click();
    }
};

// Also prints the table of names, for people to read.
TEST_F(AccessibilityTest, EveryFocusableControlHasANameInBothLanguagesAndTheClearButtonsSayWhatTheyClear)
{
    EnterKey(Key);
    for (const int language : {Language::English, Language::German}) {
        for (const bool encrypt : {true, false}) {
            ChooseLanguage(language);
            option(encrypt ? QStringLiteral("optEncrypt") : QStringLiteral("optDecrypt"))->click();
            std::printf("-- %s, %s mode\n", language == Language::English ? "English" : "German",
                        encrypt ? "encrypt" : "decrypt");
            std::set<QString> clearNames;
            for (QWidget* widget : FocusableControls(window.get())) {
                const QString name = AccessibleName(widget);
                std::printf("%-22s %s\n", qPrintable(widget->objectName()), qPrintable(name));
                EXPECT_FALSE(name.trimmed().isEmpty()) << widget->objectName().toStdString();
                EXPECT_FALSE(name.contains('\r') || name.contains('\n')) << widget->objectName().toStdString();
                if (widget->objectName().startsWith("cmdClear")) {
                    EXPECT_TRUE(clearNames.insert(name).second) << "two Clear buttons named " << name.toStdString();
                }
            }
            // The list is named by its label, not by the language chosen in it (which is its value).
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(control<QComboBox>("cboLanguage"));
            EXPECT_EQ(list->role(), QAccessible::ComboBox);
            EXPECT_EQ(list->text(QAccessible::Name), Text(MainWindowTexts::LanguageName, language));
            EXPECT_EQ(
                list->text(QAccessible::Value),
                Text(language == Language::German ? MainWindowTexts::German : MainWindowTexts::English, language));
            EXPECT_EQ(label(QStringLiteral("lblLanguage"))->buddy(), control<QComboBox>(QStringLiteral("cboLanguage")));
            EXPECT_TRUE(LabelledBy(control<QComboBox>(QStringLiteral("cboLanguage")),
                                   Text(MainWindowTexts::LanguageLabel, language)));
            EXPECT_EQ(AccessibleName(txbText()), Text(MainWindowTexts::Message, language));
        }
    }
}

// The maker's name is a link: heard as one, named by what it shows and where it leads (the
// description says the same), and followed by the reader's press action.
TEST_F(AccessibilityTest, TheMakersLinkIsALinkWhoseNameAndDescriptionAgree)
{
    for (const int language : {Language::English, Language::German}) {
        ChooseLanguage(language);
        QAccessibleInterface* link = QAccessible::queryAccessibleInterface(label(QStringLiteral("lblTavolan")));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->role(), QAccessible::Link);
        const QString name = link->text(QAccessible::Name);
        const QString where = Text(MainWindowTexts::HelpPageLinkName, language);
        EXPECT_TRUE(name.startsWith(label(QStringLiteral("lblTavolan"))->text())) << name.toStdString();
        EXPECT_TRUE(name.contains(where)) << name.toStdString();
        EXPECT_TRUE(link->text(QAccessible::Description).contains(where))
            << link->text(QAccessible::Description).toStdString();
        EXPECT_TRUE(link->state().focusable);
        dialogs.clear();
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        ASSERT_EQ(dialogs.records().size(), 1u);
        EXPECT_TRUE(dialogs.records()[0].isOpenTarget);
    }
}

// In encrypt mode the output field is named by the output button beside it; the label of the
// attached file's folder is hidden there and names nothing.
TEST_F(AccessibilityTest, TheOutputFieldIsNotLabelledByTheHiddenFolderLabel)
{
    option(QStringLiteral("optDecrypt"))->click();
    option(QStringLiteral("optEncrypt"))->click();
    ASSERT_FALSE(label(QStringLiteral("lblAppendedFile"))->isVisible());
    EXPECT_EQ(AccessibleName(txbFile(1)), Text(MainWindowTexts::OutputFile));
    EXPECT_FALSE(LabelledBy(txbFile(1), label(QStringLiteral("lblAppendedFile"))->text()));
    QAccessibleInterface* field = QAccessible::queryAccessibleInterface(txbFile(1));
    for (const auto& relation : field->relations(QAccessible::Label))
        EXPECT_NE(relation.first->object(), label(QStringLiteral("lblAppendedFile")));
}

// The key and file fields cannot be typed into; their descriptions say "Click ...", and Enter and
// Space do what the click does.
TEST_F(AccessibilityTest, EnterAndSpaceOnTheReadOnlyFieldsDoWhatAClickDoes)
{
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        SCOPED_TRACE(key == Qt::Key_Space ? "Space" : "Enter");
        txbFile(1)->clear();
        FocusOn(txbFile(1));
        dialogs.clear();
        dialogs.queuePath(Path("letter.zip"));
        QTest::keyClick(txbFile(1), key);
        ASSERT_EQ(dialogs.records().size(), 1u);
        EXPECT_TRUE(dialogs.records()[0].isChooser);
        EXPECT_EQ(txbFile(1)->text(), Path("letter.zip"));

        FocusOn(txbQuickKey());
        const bool opened = key_entry::WithKeyWindow(
            *window, [](frmKeyboardWithDisplay& keyWindow) { keyWindow.reject(); },
            [&] { QTest::keyClick(txbQuickKey(), key); });
        EXPECT_TRUE(opened) << "the key-entry window";
    }
    for (QWidget* field : std::initializer_list<QWidget*>{txbQuickKey(), txbFile(0)}) {
        const QString description = QAccessible::queryAccessibleInterface(field)->text(QAccessible::Description);
        EXPECT_TRUE(description.contains(QStringLiteral("click"), Qt::CaseInsensitive)) << description.toStdString();
    }
}

// The pictures and the bar of the secondary windows are heard by name: the key's strength, and the
// byte pairs of plaintext and ciphertext in the randomness report (heard as pictures).
TEST_F(AccessibilityTest, TheStrengthBarAndTheRandomnessPicturesHaveNames)
{
    for (const int language : {Language::English, Language::German}) {
        SCOPED_TRACE(language);
        frmKeyboardWithDisplay keyWindow(window.get());
        keyWindow.applyProgramTexts(language);
        key_entry::Type(keyWindow, QStringLiteral("sunny day in Berlin 2019"));
        auto* bar = keyWindow.findChild<QWidget*>(QStringLiteral("prbStrength"));
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(AccessibleName(bar), Text(KeyWindowTexts::StrengthBarName, language));
        EXPECT_FALSE(QAccessible::queryAccessibleInterface(bar)->text(QAccessible::Description).isEmpty())
            << "the rating it shows";

        frmRandomnessGraphic report(window.get());
        report.applyTexts(language);
        for (const int side : {0, 1}) {
            auto* picture = report.findChild<QWidget*>(QStringLiteral("picPic%1").arg(side));
            ASSERT_NE(picture, nullptr);
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(picture);
            EXPECT_EQ(face->role(), QAccessible::Graphic);
            EXPECT_EQ(
                face->text(QAccessible::Name),
                Text(side == 0 ? RandomnessTexts::PlaintextPlotName : RandomnessTexts::CiphertextPlotName, language));
            EXPECT_EQ(face->text(QAccessible::Description), Text(RandomnessTexts::PlotDescription, language));
        }
    }
}

TEST_F(AccessibilityTest, TabLeavesTheMessageBoxAndCtrlTabTypesATab)
{
    FocusOn(txbText());
    QTest::keyClicks(txbText(), QStringLiteral("a"));
    QTest::keyClick(txbText(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClicks(txbText(), QStringLiteral("b"));
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("a\tb"));

    QTest::keyClick(txbText(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), txbText());
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("a\tb"));
}

TEST_F(AccessibilityTest, TabWalksMessageFileOutputKeyAndEncryptInThatOrder)
{
    EnterKey(Key);
    txbText()->setPlainText(QStringLiteral("x"));
    FocusOn(txbText());
    std::vector<QWidget*> visited;
    for (int i = 0; i < 40 && visited.size() < 40; ++i) {
        visited.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const auto at = [&](QWidget* widget) {
        return std::find(visited.begin(), visited.end(), widget) - visited.begin();
    };
    const QWidget* const work[] = {txbText(), cmdSpecifyFile(0), cmdSpecifyFile(1),
                                   button(QStringLiteral("cmdQuickKey")), button(QStringLiteral("cmdEncryptMessage"))};
    for (std::size_t i = 1; i < std::size(work); ++i) {
        EXPECT_LT(at(const_cast<QWidget*>(work[i - 1])), at(const_cast<QWidget*>(work[i])))
            << work[i]->objectName().toStdString();
        EXPECT_LT(at(const_cast<QWidget*>(work[i])), static_cast<long>(visited.size()));
    }
    EXPECT_LT(at(label(QStringLiteral("lblTavolan"))), static_cast<long>(visited.size()))
        << "the help link takes the focus";
}

TEST_F(AccessibilityTest, TheHelpLinkOpensWithEnterAndAFocusedButtonWithEnter)
{
    label(QStringLiteral("lblTavolan"))->setFocus();
    QTest::keyClick(label(QStringLiteral("lblTavolan")), Qt::Key_Return);
    ASSERT_EQ(dialogs.records().size(), 1u);
    EXPECT_TRUE(dialogs.records()[0].isOpenTarget);

    dialogs.clear();
    button(QStringLiteral("cmdEncryptMessage"))->setFocus();
    QTest::keyClick(button(QStringLiteral("cmdEncryptMessage")), Qt::Key_Return);
    ASSERT_EQ(dialogs.messages().size(), 1u) << "Enter pressed Encrypt: the no-key box";
    EXPECT_EQ(dialogs.messages()[0].title, Text(MainWindowTexts::NoKeySpecified, Language::English));
}

// F1 asks once about the help, wherever the focus is: on every control a keyboard user reaches, in
// both modes (the file fields and the key field among them).
TEST_F(AccessibilityTest, F1OpensTheHelpFromEveryFocusableControl)
{
    EnterKey(Key);
    txbText()->setPlainText(QStringLiteral("x"));
    txbFile(0)->setText(QStringLiteral("/tmp/a.zip")); // a filled field: a click would not open a chooser
    for (const bool encrypt : {true, false}) {
        option(encrypt ? QStringLiteral("optEncrypt") : QStringLiteral("optDecrypt"))->click();
        for (QWidget* control : FocusableControls(window.get())) {
            if (!control->isEnabled())
                continue;
            SCOPED_TRACE(control->objectName().toStdString() + (encrypt ? " (encrypt)" : " (decrypt)"));
            FocusOn(control);
            dialogs.clear();
            dialogs.queueAnswer(DialogAnswer::Yes); // the help page, not the viewer

            QTest::keyClick(control, Qt::Key_F1);

            EXPECT_EQ(dialogs.questions(), std::vector<QuestionId>{QuestionId::OpenHelpPage});
        }
    }
}

TEST_F(AccessibilityTest, CheckedModeAndDisabledControlsStandOutByAtLeastThreeToOne)
{
    const QPalette mode = option(QStringLiteral("optDecrypt"))->palette();
    const QColor band = window->findChild<QWidget*>("ModeBand")->palette().color(QPalette::Window);
    EXPECT_GE(Contrast(mode.color(QPalette::Active, QPalette::Text), mode.color(QPalette::Active, QPalette::Base)), 3.0)
        << "the dot of the checked mode on its face";
    EXPECT_GE(Contrast(mode.color(QPalette::Active, QPalette::Base), QColor(Qt::white)), 3.0)
        << "the indicator's face is not a white disc on which a yellow dot vanishes";
    EXPECT_GE(Contrast(mode.color(QPalette::Disabled, QPalette::WindowText), band), 3.0);
    EXPECT_NE(mode.color(QPalette::Disabled, QPalette::WindowText), mode.color(QPalette::Active, QPalette::WindowText))
        << "a disabled mode looks disabled";

    const QPalette viewButton = button(QStringLiteral("cmdViewCiphertext"))->palette();
    ASSERT_FALSE(button(QStringLiteral("cmdViewCiphertext"))->isEnabled());
    EXPECT_GE(Contrast(viewButton.color(QPalette::Disabled, QPalette::ButtonText),
                       viewButton.color(QPalette::Disabled, QPalette::Button)),
              3.0);
}

TEST_F(AccessibilityTest, AtTheMinimumSizeTheKeyFieldAndEveryCaptionStayReadable)
{
    for (const int language : {Language::English, Language::German}) {
        ChooseLanguage(language);
        window->resize(1, 1);
        QApplication::processEvents();
        EXPECT_EQ(window->size(), window->minimumSize());
        EXPECT_GE(txbQuickKey()->width(), txbQuickKey()->fontMetrics().horizontalAdvance(Key));
        for (QPushButton* shown : window->findChildren<QPushButton*>())
            if (shown->isVisibleTo(window.get())) {
                EXPECT_GE(shown->width(), shown->fontMetrics().horizontalAdvance(shown->text()))
                    << shown->objectName().toStdString();
            }
        EXPECT_GE(txbText()->height(), txbText()->fontMetrics().lineSpacing() * 3);
    }
}

TEST_F(AccessibilityTest, AWholeEncryptionAndDecryptionByKeysAlone)
{
    const auto tabTo = [&](QWidget* target) {
        for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), target) << target->objectName().toStdString();
    };
    // The key: Enter on the key command opens the key-entry window, typed there, Enter takes it.
    FocusOn(txbText());
    tabTo(button(QStringLiteral("cmdQuickKey")));
    const bool keyWindowOpened = key_entry::WithKeyWindow(
        *window,
        [&](frmKeyboardWithDisplay& keyWindow) {
            key_entry::Type(keyWindow, Key);
            QTest::keyClick(keyWindow.findChild<QLineEdit*>(QStringLiteral("txbKey")), Qt::Key_Return);
        },
        [&] { QTest::keyClick(button(QStringLiteral("cmdQuickKey")), Qt::Key_Return); });
    ASSERT_TRUE(keyWindowOpened);
    ASSERT_EQ(window->QuickKeyText(), Key);

    // Encrypt: type the message, Tab on to the output button, choose the file, Tab to Encrypt.
    FocusOn(txbText());
    QTest::keyClicks(txbText(), QStringLiteral("By keys alone."));
    tabTo(cmdSpecifyFile(1));
    dialogs.queuePath(Path("letter.zip"));
    QTest::keyClick(cmdSpecifyFile(1), Qt::Key_Return);
    EXPECT_EQ(txbFile(1)->text(), Path("letter.zip"));
    tabTo(button(QStringLiteral("cmdEncryptMessage")));
    QTest::keyClick(button(QStringLiteral("cmdEncryptMessage")),
                    Qt::Key_Return); // the offer to attach: its default, No
    ASSERT_TRUE(test_files::read_file(Path("letter.zip")).startsWith("PK"));

    // Decrypt: the mode by keys, the ciphertext by its button, then Decrypt.
    tabTo(option(QStringLiteral("optEncrypt")));
    QTest::keyClick(option(QStringLiteral("optEncrypt")), Qt::Key_Right);
    ASSERT_TRUE(option(QStringLiteral("optDecrypt"))->isChecked());
    tabTo(cmdSpecifyFile(0));
    dialogs.queuePath(Path("letter.zip"));
    QTest::keyClick(cmdSpecifyFile(0), Qt::Key_Return);
    tabTo(button(QStringLiteral("cmdDecryptMessage")));
    QTest::keyClick(button(QStringLiteral("cmdDecryptMessage")), Qt::Key_Return);
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("By keys alone."));
}

// Alt plus the underlined letter: every command of the window has one, no two alike among the
// captions shown at once, in both languages and both modes; pressing one works.
TEST_F(AccessibilityTest, EveryCommandHasAnAccessKeyOfItsOwnInBothLanguages)
{
    EnterKey(Key);
    for (const int language : {Language::English, Language::German}) {
        for (const bool encrypt : {true, false}) {
            SCOPED_TRACE(std::to_string(language) + (encrypt ? " encrypt" : " decrypt"));
            ChooseLanguage(language);
            option(encrypt ? QStringLiteral("optEncrypt") : QStringLiteral("optDecrypt"))->click();
            ExpectOwnAccessKeys(window.get(), {label(QStringLiteral("lblLanguage"))});
        }
    }
    ChooseLanguage(Language::English);
    FocusOn(txbText());
    QTest::keySequence(window.get(), QKeySequence::mnemonic(option(QStringLiteral("optEncrypt"))->text()));
    // A button pressed by its access key clicks a moment later, as if pressed by the mouse.
    EXPECT_TRUE(QTest::qWaitFor([&] { return option(QStringLiteral("optEncrypt"))->isChecked(); }, 2000));
}

// The ring around the focused control: there, around it, and at least 3:1 against what it stands on
// (the light window and the dark mode band alike).
TEST_F(AccessibilityTest, TheFocusIsMarkedByARingThatStandsOutOnLightAndDark)
{
    for (const char* name : {"cmdQuickKey", "txbText", "optEncrypt", "cmdQuit"}) {
        SCOPED_TRACE(name);
        QWidget* target = control<QWidget>(QLatin1String(name));
        FocusOn(target);
        QApplication::processEvents();
        ExpectFocusRingAround(window.get(), target);
    }
}

} // namespace
