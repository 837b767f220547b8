// The key group of the main window as the user drives it: entering a key in the key-entry window,
// showing, hiding and clearing it, the questions about it and the checksum on the command buttons.
#include "gui/WindowFixture.h"
#include "gui/frmKeyboardWithDisplay.h"
#include "gui/frmMain.h"
#include "keys/KeyRoutines.h"
#include "pipeline/Dialogs.h"
#include "support/ProgramTexts.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString OldKey = QStringLiteral("old secret key of last spring");
// Typed with stray spaces; the window keeps it trimmed, with single spaces.
const QString NewKeyTyped = QStringLiteral("  brand   new key for the summer ");
const QString NewKey = QStringLiteral("brand new key for the summer");

enum class KeyState { NoKey, Shown, Hidden };

class QuickKeyTest : public WindowFixture<> {
  public:
    QString text(int number) { return Text(number, window->ShownLanguage()); }
    QLineEdit* keyBox() { return txbQuickKey(); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Runs `inside` while the key-entry window is open; `opener` is the click that should open it.
    // Returns whether the window opened at all.
    bool withKeyWindow(const std::function<void(frmKeyboardWithDisplay&)>& inside, const std::function<void()>& opener)
    {
        const bool opened = key_entry::WithKeyWindow(
            *window,
            [&](frmKeyboardWithDisplay& keyWindow) {
                // While the key is being entered, neither key button can be pressed.
                EXPECT_FALSE(button("cmdHideShowQuickKey")->isVisible());
                EXPECT_FALSE(button("cmdClearQuickKey")->isVisible());
                inside(keyWindow);
            },
            opener);
        if (opened) {
            // Nothing typed lingers in the hidden key-entry window.
            auto* keyWindow = window->findChild<frmKeyboardWithDisplay*>();
            EXPECT_TRUE(keyWindow->findChild<QLineEdit*>(QStringLiteral("txbKey"))->text().isEmpty());
        }
        return opened;
    }

    static void type(frmKeyboardWithDisplay& keyWindow, const QString& key) { key_entry::Type(keyWindow, key); }
    static void press(frmKeyboardWithDisplay& keyWindow, const char* name) { key_entry::Press(keyWindow, name); }

    void enterKey(const QString& typed, const char* leaveBy = "cmdYes")
    {
        const bool opened = withKeyWindow(
            [&](frmKeyboardWithDisplay& keyWindow) {
                type(keyWindow, typed);
                press(keyWindow, leaveBy);
            },
            [this] { click(button("cmdQuickKey")); });
        ASSERT_TRUE(opened);
    }

    void bringTo(KeyState state)
    {
        if (state == KeyState::NoKey)
            return;
        enterKey(OldKey);
        if (state == KeyState::Hidden)
            click(button("cmdHideShowQuickKey"));
    }

    // What the key group shows, checked against the state table and its invariants.
    void expectState(KeyState state, const QString& key)
    {
        // Shown as it would be on the window, also once the window has been closed.
        auto shown = [this](QWidget* widget) { return widget->isVisibleTo(window.get()); };
        auto* hideShow = button("cmdHideShowQuickKey");
        const bool keySet = state != KeyState::NoKey;
        EXPECT_EQ(shown(hideShow), keySet);
        EXPECT_EQ(shown(button("cmdClearQuickKey")), keySet);
        EXPECT_EQ(shown(label("lblNoKeySpecified")), !keySet);
        EXPECT_EQ(window->QuickKeyText(), keySet ? key : QString());
        EXPECT_EQ(window->KeyHidden(), state == KeyState::Hidden);
        EXPECT_EQ(keyBox()->text(), state == KeyState::Shown ? key : QString());
        if (keySet) {
            EXPECT_EQ(Mnemonics::Plain(hideShow->text()), text(state == KeyState::Shown ? 379 : 380));
        }
    }

    void answerNext(DialogAnswer answer) { dialogs.queueAnswer(answer); }
    void clickKeyBox(const QString& typed)
    {
        const bool opened = withKeyWindow(
            [&](frmKeyboardWithDisplay& keyWindow) {
                type(keyWindow, typed);
                press(keyWindow, "cmdYes");
            },
            [this] { click(keyBox()); });
        EXPECT_TRUE(opened);
    }
};

struct Transition {
    const char* name;
    KeyState from;
    std::function<void(QuickKeyTest&)> act;
    KeyState to;
    const QString& key; // the key of the end state
};

TEST_F(QuickKeyTest, EachHandlerLeavesTheKeyGroupInOneOfItsThreeStates)
{
    using T = QuickKeyTest;
    const Transition transitions[] = {
        {"start", KeyState::NoKey, [](T&) {}, KeyState::NoKey, OldKey},
        {"accept a first key", KeyState::NoKey, [](T& t) { t.enterKey(NewKeyTyped); }, KeyState::Shown, NewKey},
        {"cancel without a key", KeyState::NoKey, [](T& t) { t.enterKey(QStringLiteral("short"), "cmdCancel"); },
         KeyState::NoKey, OldKey},
        {"hide", KeyState::Shown, [](T& t) { t.click(t.button("cmdHideShowQuickKey")); }, KeyState::Hidden, OldKey},
        {"show", KeyState::Hidden, [](T& t) { t.click(t.button("cmdHideShowQuickKey")); }, KeyState::Shown, OldKey},
        {"cancel over a hidden key", KeyState::Hidden, [](T& t) { t.enterKey(QStringLiteral("abc"), "cmdCancel"); },
         KeyState::Hidden, OldKey},
        {"No to a valid key over a hidden key", KeyState::Hidden, [](T& t) { t.enterKey(NewKeyTyped, "cmdNo"); },
         KeyState::Hidden, OldKey},
        {"cancel over a shown key", KeyState::Shown, [](T& t) { t.enterKey(QString(), "cmdCancel"); }, KeyState::Shown,
         OldKey},
        {"new key over a hidden key", KeyState::Hidden, [](T& t) { t.enterKey(NewKeyTyped); }, KeyState::Shown, NewKey},
        {"new key over a shown key", KeyState::Shown, [](T& t) { t.enterKey(NewKeyTyped); }, KeyState::Shown, NewKey},
        {"clear, answered No", KeyState::Hidden,
         [](T& t) {
             t.answerNext(DialogAnswer::No);
             t.click(t.button("cmdClearQuickKey"));
         },
         KeyState::Shown, OldKey},
        {"clear, answered Yes", KeyState::Hidden,
         [](T& t) {
             t.answerNext(DialogAnswer::Yes);
             t.click(t.button("cmdClearQuickKey"));
         },
         KeyState::NoKey, OldKey},
        {"encrypting asks to show the hidden key, Yes", KeyState::Hidden,
         [](T& t) {
             t.answerNext(DialogAnswer::Yes);
             t.click(t.button("cmdEncryptMessage"));
         },
         KeyState::Shown, OldKey},
        {"decrypting asks to show the hidden key, No", KeyState::Hidden,
         [](T& t) {
             t.click(t.option("optDecrypt"));
             t.answerNext(DialogAnswer::No);
             t.click(t.button("cmdDecryptMessage"));
         },
         KeyState::Hidden, OldKey},
        {"click the empty box without a key", KeyState::NoKey, [](T& t) { t.clickKeyBox(NewKeyTyped); },
         KeyState::Shown, NewKey},
        {"click the empty box over a hidden key", KeyState::Hidden, [](T& t) { t.clickKeyBox(NewKeyTyped); },
         KeyState::Shown, NewKey},
        {"wipe on quitting", KeyState::Hidden, [](T& t) { t.click(t.button("cmdQuit")); }, KeyState::NoKey, OldKey},
    };
    for (const Transition& transition : transitions) {
        SCOPED_TRACE(transition.name);
        StartWindow();
        dialogs.clear();
        bringTo(transition.from);
        transition.act(*this);
        expectState(transition.to, transition.key);
    }
}

TEST_F(QuickKeyTest, ClickingTheShownKeyOpensNothing)
{
    bringTo(KeyState::Shown);
    EXPECT_FALSE(withKeyWindow([](frmKeyboardWithDisplay&) {}, [this] { click(keyBox()); }));
    expectState(KeyState::Shown, OldKey);
}

TEST_F(QuickKeyTest, ClearQuestionNamesTheClearButtonAndNoLeavesTheFocusOnKey)
{
    bringTo(KeyState::Hidden);
    dialogs.queueAnswer(DialogAnswer::No);
    click(button("cmdClearQuickKey"));

    const auto boxes = dialogs.messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text(MainWindowTexts::ClearKeyQuestion));
    EXPECT_EQ(boxes[0].title, Mnemonics::Plain(button("cmdClearQuickKey")->text()));
    EXPECT_EQ(boxes[0].buttons, DialogButtons::YesNo);
    EXPECT_EQ(boxes[0].question, QuestionId::ClearKey);
    EXPECT_EQ(window->focusWidget(), button("cmdQuickKey"));
}

TEST_F(QuickKeyTest, HiddenKeyQuestionHasBothLinesAndItsTitle)
{
    bringTo(KeyState::Hidden);
    dialogs.queueAnswer(DialogAnswer::Yes);
    click(button("cmdEncryptMessage"));
    const auto boxes = dialogs.messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text(MainWindowTexts::ShowHiddenKeyQuestion) + QStringLiteral("\r\n") +
                                 text(MainWindowTexts::ShowHiddenKeyQuestionMore));
    EXPECT_EQ(boxes[0].title, text(MainWindowTexts::ShowHiddenKeyTitle));
    EXPECT_EQ(boxes[0].buttons, DialogButtons::YesNo);
    EXPECT_EQ(boxes[0].question, QuestionId::ShowHiddenKey);
    EXPECT_EQ(boxes[0].defaultButton, 1) << "No: go on with the hidden key";
}

TEST_F(QuickKeyTest, CommandTooltipsShowTheChecksumTheKeyWindowShowed)
{
    QString shownInKeyWindow;
    withKeyWindow(
        [&](frmKeyboardWithDisplay& keyWindow) {
            type(keyWindow, NewKeyTyped);
            shownInKeyWindow = keyWindow.findChild<QLabel*>(QStringLiteral("lblChecksumIs"))->text();
            press(keyWindow, "cmdYes");
        },
        [this] { click(button("cmdQuickKey")); });
    ASSERT_TRUE(shownInKeyWindow.startsWith(text(KeyWindowTexts::ChecksumIs) + QLatin1Char(' ')));

    QSignalSpy tick(control<QTimer>("Clock"), &QTimer::timeout);
    ASSERT_TRUE(tick.wait(2000));
    EXPECT_EQ(button("cmdEncryptMessage")->toolTip(), shownInKeyWindow);
    EXPECT_EQ(button("cmdDecryptMessage")->toolTip(), shownInKeyWindow);

    dialogs.queueAnswer(DialogAnswer::Yes);
    click(button("cmdClearQuickKey"));
    EXPECT_TRUE(button("cmdEncryptMessage")->toolTip().isEmpty());
    EXPECT_TRUE(button("cmdDecryptMessage")->toolTip().isEmpty());
}

TEST_F(QuickKeyTest, AcceptingAKeyRetiresTheCiphertextViewInBothModes)
{
    for (const bool inDecryptMode : {false, true}) {
        SCOPED_TRACE(inDecryptMode ? "decrypt mode" : "encrypt mode");
        click(control<QRadioButton>("optEncrypt"));
        button("cmdViewCiphertext")->setEnabled(true); // as after an encryption
        if (inDecryptMode)
            click(control<QRadioButton>("optDecrypt"));
        enterKey(NewKeyTyped);
        click(control<QRadioButton>("optEncrypt"));
        EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
    }
}

TEST_F(QuickKeyTest, HiddenKeyStaysHiddenAcrossALanguageChange)
{
    bringTo(KeyState::Hidden);
    auto* languages = control<QComboBox>("cboLanguage");
    languages->setCurrentIndex(Language::German);
    window->cboLanguage_Click();
    ASSERT_EQ(window->ShownLanguage(), Language::German);

    QString cancelCaption;
    withKeyWindow(
        [&](frmKeyboardWithDisplay& keyWindow) {
            cancelCaption = keyWindow.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->text();
        },
        [this] { click(button("cmdQuickKey")); });
    EXPECT_EQ(Mnemonics::Plain(cancelCaption), Text(KeyWindowTexts::Cancel, Language::German));
    expectState(KeyState::Hidden, OldKey);
}

TEST_F(QuickKeyTest, NoKeyMessageFitsTheMode)
{
    struct Case {
        const char* option;
        const char* command;
        int textNumber;
    };
    for (const Case& c : {Case{"optEncrypt", "cmdEncryptMessage", 147}, Case{"optDecrypt", "cmdDecryptMessage", 52}}) {
        SCOPED_TRACE(c.option);
        dialogs.clear();
        click(control<QRadioButton>(c.option));
        click(button(c.command));
        const auto boxes = dialogs.messages();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text(c.textNumber));
        EXPECT_EQ(boxes[0].title, text(MainWindowTexts::NoKeySpecified));
        EXPECT_EQ(boxes[0].icon, DialogIcon::None);
        EXPECT_EQ(boxes[0].buttons, DialogButtons::Ok);
    }
}

// A hidden key is marked as set (dots and checksum, never the key), is named so for screen readers,
// and stays hidden while the key-entry window is open over it; cancelling that window keeps it.
TEST_F(QuickKeyTest, AHiddenKeyIsMarkedAsSetAndStaysHiddenUnderTheKeyWindow)
{
    bringTo(KeyState::Hidden);
    const QString checksum = QString::number(Keys::KeyChecksum(OldKey));
    EXPECT_TRUE(keyBox()->placeholderText().endsWith(text(KeyWindowTexts::ChecksumIs) + ' ' + checksum))
        << keyBox()->placeholderText().toStdString();
    EXPECT_FALSE(keyBox()->placeholderText().contains(OldKey));
    EXPECT_EQ(keyBox()->accessibleName(), text(MainWindowTexts::KeyHiddenName));

    QString underneath = QStringLiteral("not looked at");
    const bool opened = withKeyWindow([&](frmKeyboardWithDisplay&) { underneath = keyBox()->text(); },
                                      [this] { click(button("cmdQuickKey")); });
    ASSERT_TRUE(opened);
    EXPECT_TRUE(underneath.isEmpty()) << "the hidden key showed under the key window";
    expectState(KeyState::Hidden, OldKey);

    click(button("cmdHideShowQuickKey"));
    EXPECT_TRUE(keyBox()->placeholderText().isEmpty());
    EXPECT_EQ(keyBox()->accessibleName(), text(MainWindowTexts::KeyCommand));
}

} // namespace
