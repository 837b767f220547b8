// The key-entry window on its own: what it counts and shows while the key is typed, and every way out.
#include "gui/WindowFixture.h"
#include "gui/frmKeyboardWithDisplay.h"
#include "keys/KeyStrength.h"
#include "pipeline/Dialogs.h"
#include "support/ProgramTexts.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class KeyWindow : public ShippedTextsFixture {
  protected:
    void SetUp() override
    {
        ShippedTextsFixture::SetUp();
        mainWindow.setGeometry(40, 30, 720, 560);
        mainWindow.show();
        window.applyProgramTexts(Language::English);
    }

    QLineEdit* keyBox() { return window.findChild<QLineEdit*>(QStringLiteral("txbKey")); }
    QString caption(const char* name) { return window.findChild<QLabel*>(QLatin1String(name))->text(); }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(QLatin1String(name)); }
    bool shows(const char* name) { return window.findChild<QWidget*>(QLatin1String(name))->isVisible(); }

    // Opens the window as the main window does and runs `actions` inside the modal loop; a window
    // the actions leave open is cancelled, so a failing test cannot hang.
    void runModal(const std::function<void()>& actions)
    {
        QTimer::singleShot(0, &window, [this, actions] {
            actions();
            if (window.isVisible())
                window.reject();
        });
        window.clearKey();
        window.KeyboardWithDisplay(&mainWindow);
    }

    void acceptKey(const QString& key)
    {
        runModal([&] {
            QTest::keyClicks(keyBox(), key);
            QTest::mouseClick(button("cmdYes"), Qt::LeftButton);
        });
    }

    QWidget mainWindow;
    frmKeyboardWithDisplay window{&mainWindow};
};

TEST_F(KeyWindow, SixteenthSignificantCharacterSwitchesFromCountToChecksum)
{
    runModal([&] {
        QTest::keyClicks(keyBox(), QStringLiteral("a b c d e f g h i j k l m n o"));
        EXPECT_EQ(caption("lblChecksumIs"), QStringLiteral("15 ") + Text(KeyWindowTexts::CharactersCounted));
        EXPECT_TRUE(shows("cmdCancel"));
        EXPECT_FALSE(shows("cmdYes"));
        EXPECT_FALSE(shows("cmdNo"));
        EXPECT_FALSE(shows("lblUseThisKey"));

        QTest::keyClicks(keyBox(), QStringLiteral(" p"));
        EXPECT_EQ(caption("lblChecksumIs"), Text(KeyWindowTexts::ChecksumIs) + QStringLiteral(" 7203"));
        EXPECT_EQ(window.Checksum(), 7203);
        EXPECT_FALSE(shows("cmdCancel"));
        EXPECT_TRUE(shows("cmdYes"));
        EXPECT_TRUE(shows("cmdNo"));
        EXPECT_TRUE(shows("lblUseThisKey"));
        EXPECT_TRUE(shows("lblChecksumIs"));
    });
}

TEST_F(KeyWindow, CountLineForShortKeys)
{
    struct {
        const char* typed;
        QString line;
    } const cases[] = {
        {"", QStringLiteral("0 ") + Text(KeyWindowTexts::CharactersCounted)},
        {"  x ", QStringLiteral("1 ") + Text(KeyWindowTexts::OneCharacterCounted)},
        {"a b\tc", QStringLiteral("3 ") + Text(KeyWindowTexts::CharactersCounted)},
    };
    window.show();
    for (const auto& c : cases) {
        keyBox()->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(caption("lblChecksumIs"), c.line) << c.typed;
        EXPECT_TRUE(shows("cmdCancel"));
        EXPECT_FALSE(shows("cmdYes"));
    }
}

TEST_F(KeyWindow, OpensBesideTheMainWindow)
{
    runModal([&] {
        EXPECT_EQ(window.width(), mainWindow.width());
        EXPECT_EQ(window.frameGeometry().left(), mainWindow.frameGeometry().left());
        EXPECT_EQ(window.frameGeometry().top(), mainWindow.frameGeometry().top() + 289);
        EXPECT_EQ(window.focusWidget(), keyBox());
    });
}

TEST_F(KeyWindow, CaptionsFollowTheOwnersLanguage)
{
    for (int language : {Language::German, Language::English}) {
        window.applyProgramTexts(language);
        runModal([&] {
            QTest::keyClicks(keyBox(), QStringLiteral("sixteen letters 16"));
            EXPECT_EQ(window.windowTitle(), Text(KeyWindowTexts::Title, language));
            EXPECT_EQ(caption("lblEntertheKey"), Text(KeyWindowTexts::EnterTheKey, language));
            EXPECT_EQ(caption("lblUseThisKey"), Text(KeyWindowTexts::UseThisKey, language));
            EXPECT_TRUE(caption("lblChecksumIs").startsWith(Text(KeyWindowTexts::ChecksumIs, language)));
            EXPECT_EQ(Mnemonics::Plain(button("cmdYes")->text()), Text(KeyWindowTexts::Yes, language));
            EXPECT_EQ(Mnemonics::Plain(button("cmdNo")->text()), Text(KeyWindowTexts::No, language));
            EXPECT_EQ(Mnemonics::Plain(button("cmdCancel")->text()), Text(KeyWindowTexts::Cancel, language));
            ExpectOwnAccessKeys(&window);
            ExpectEveryFocusableControlNamed(&window);
            ExpectFocusRingAround(&window, keyBox());
        });
        EXPECT_FALSE(Text(KeyWindowTexts::Title, language).isEmpty());
    }
    EXPECT_NE(Text(KeyWindowTexts::Yes, Language::German), Text(KeyWindowTexts::Yes, Language::English));
}

TEST_F(KeyWindow, YesLeavesTrimmedKeyWithSingleSpaces)
{
    QSignalSpy accepted(&window, &frmKeyboardWithDisplay::keyAccepted);
    acceptKey(QStringLiteral("   correct   horse battery    staple  "));
    EXPECT_TRUE(window.KeyAccepted());
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_EQ(window.Checksum(), 9527);
    EXPECT_EQ(window.takeKey(), QStringLiteral("correct horse battery staple"));
    EXPECT_TRUE(keyBox()->text().isEmpty()); // the main window holds the only copy now
}

TEST_F(KeyWindow, EveryOtherWayOutLeavesTheKeyNotAccepted)
{
    const QString validKey = QStringLiteral("abcdefghijklmnopqrst");
    struct {
        const char* way;
        QString typed;
        std::function<void()> leave;
    } const ways[] = {
        {"No", validKey, [&] { QTest::mouseClick(button("cmdNo"), Qt::LeftButton); }},
        {"Cancel", QStringLiteral("short"), [&] { QTest::mouseClick(button("cmdCancel"), Qt::LeftButton); }},
        {"frame", validKey, [&] { window.close(); }},
        {"Escape", validKey, [&] { QTest::keyClick(keyBox(), Qt::Key_Escape); }},
    };
    for (const auto& w : ways) {
        acceptKey(validKey); // a previous showing accepted a key
        ASSERT_TRUE(window.KeyAccepted());
        QSignalSpy accepted(&window, &frmKeyboardWithDisplay::keyAccepted);
        bool closedByTheWay = false;
        runModal([&] {
            QTest::keyClicks(keyBox(), w.typed);
            w.leave();
            closedByTheWay = !window.isVisible();
        });
        EXPECT_TRUE(closedByTheWay) << w.way;
        EXPECT_FALSE(window.KeyAccepted()) << w.way;
        EXPECT_EQ(accepted.count(), 0) << w.way;
    }
}

TEST_F(KeyWindow, EnterAcceptsOnlyAValidKey)
{
    runModal([&] {
        QTest::keyClicks(keyBox(), QStringLiteral("too short"));
        QTest::keyClick(keyBox(), Qt::Key_Return);
        EXPECT_TRUE(window.isVisible());
        QTest::keyClicks(keyBox(), QStringLiteral(" but now long enough"));
        QTest::keyClick(keyBox(), Qt::Key_Return);
    });
    EXPECT_TRUE(window.KeyAccepted());
    EXPECT_EQ(window.takeKey(), QStringLiteral("too short but now long enough"));
}

TEST_F(KeyWindow, ReopeningStartsEmpty)
{
    acceptKey(QStringLiteral("a key typed the time before"));
    runModal([&] {
        EXPECT_TRUE(keyBox()->text().isEmpty());
        EXPECT_EQ(caption("lblChecksumIs"), QStringLiteral("0 ") + Text(KeyWindowTexts::CharactersCounted));
        EXPECT_TRUE(shows("cmdCancel"));
    });
}

TEST_F(KeyWindow, BoxTakesAtMostSixtyFourCharacters)
{
    runModal([&] {
        QTest::keyClicks(keyBox(), QString(70, QLatin1Char('k')));
        EXPECT_EQ(keyBox()->text(), QString(64, QLatin1Char('k')));
        EXPECT_TRUE(shows("cmdYes"));
        keyBox()->clear();
        QTest::keyClicks(keyBox(), QStringLiteral("ab ").repeated(30)); // spaces count toward the limit
        EXPECT_EQ(keyBox()->text().size(), 64);
        EXPECT_EQ(caption("lblChecksumIs").left(Text(KeyWindowTexts::ChecksumIs).size()),
                  Text(KeyWindowTexts::ChecksumIs));
    });
}

// A paste that would make the key longer than 64 characters is refused with a word that states the
// limit; the box keeps what it held, whatever way the paste came.
TEST_F(KeyWindow, PasteBeyondTheLimitIsRefusedWithTheLimitAndTheBoxKeepsItsKey)
{
    ScriptedDialogs dialogs;
    window.setDialogs(&dialogs);
    const QString smiley = QStringLiteral(u"\U0001F600");
    struct Case {
        const char* name;
        QString held;
        QString pasted;
        bool selectAll;
    };
    const Case cases[] = {
        {"a key of 65 characters into the empty box", {}, QString(65, QLatin1Char('k')), false},
        {"a key far too long", {}, QStringLiteral("abcd ").repeated(60), false},
        {"a few characters behind a key", QString(60, QLatin1Char('h')), QStringLiteral("12345"), false},
        {"one character into a box full of emoji", smiley.repeated(64), QStringLiteral("x"), false},
        {"over the whole key selected", QString(20, QLatin1Char('h')), QString(65, QLatin1Char('k')), true},
    };
    runModal([&] {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            dialogs.clear();
            keyBox()->setText(c.held);
            if (c.selectAll)
                keyBox()->selectAll();
            QGuiApplication::clipboard()->setText(c.pasted);

            QTest::keySequence(keyBox(), QKeySequence::Paste);
            QApplication::processEvents();

            EXPECT_EQ(keyBox()->text(), c.held);
            ASSERT_EQ(dialogs.messages().size(), 1u);
            EXPECT_EQ(dialogs.messages()[0].text, Text(KeyWindowTexts::PasteTooLong) + QStringLiteral(" 64."));
            EXPECT_EQ(dialogs.messages()[0].title, Text(KeyWindowTexts::Title));
            EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::Exclamation);
        }
        // The context menu's Paste is refused alike.
        dialogs.clear();
        keyBox()->clear();
        keyBox()->paste();
        QApplication::processEvents();
        EXPECT_TRUE(keyBox()->text().isEmpty());
        EXPECT_EQ(dialogs.messages().size(), 1u);
    });
    QGuiApplication::clipboard()->clear();
}

// Up to the limit a paste is taken, and typing at the limit is refused without a word, as a full box is.
TEST_F(KeyWindow, PasteUpToTheLimitIsTakenAndTypingPastItAsksNothing)
{
    ScriptedDialogs dialogs;
    window.setDialogs(&dialogs);
    runModal([&] {
        QGuiApplication::clipboard()->setText(QString(64, QLatin1Char('k')));
        QTest::keySequence(keyBox(), QKeySequence::Paste);
        QTest::keyClicks(keyBox(), QStringLiteral("xyz"));
        QApplication::processEvents();

        EXPECT_EQ(keyBox()->text(), QString(64, QLatin1Char('k')));
        EXPECT_TRUE(shows("cmdYes"));
        EXPECT_TRUE(dialogs.messages().empty());
    });
    QGuiApplication::clipboard()->clear();
}

// The strength line follows the key as it is used, and a weak key is accepted only after the user
// said yes to a question that names the reason; the safe answer stays in the window.
TEST_F(KeyWindow, WeakKeyIsRatedAndAcceptedOnlyAfterTheQuestion)
{
    ScriptedDialogs dialogs;
    window.setDialogs(&dialogs);
    const QString weak = QStringLiteral("passwordpassword");
    runModal([&] {
        QTest::keyClicks(keyBox(), weak);
        EXPECT_TRUE(shows("lblStrength"));
        EXPECT_TRUE(caption("lblStrength").startsWith(Text(KeyStrengthTexts::RatingVeryWeak)));
        EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("prbStrength"))->value(), 1);

        QTest::mouseClick(button("cmdYes"), Qt::LeftButton); // no answer prepared: the default, No
        ASSERT_EQ(dialogs.messages().size(), 1u);
        const MessageRequest question = dialogs.messages()[0];
        EXPECT_TRUE(question.text.contains(Text(KeyStrengthTexts::ReasonRepeats))) << question.text.toStdString();
        EXPECT_EQ(question.buttons, DialogButtons::YesNo);
        EXPECT_EQ(question.defaultButton, 1);
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.KeyAccepted());

        dialogs.queueAnswer(DialogAnswer::Yes);
        QTest::mouseClick(button("cmdYes"), Qt::LeftButton);
    });
    EXPECT_TRUE(window.KeyAccepted());
    EXPECT_EQ(window.takeKey(), weak);
    EXPECT_EQ(dialogs.messages().size(), 2u);
}

TEST_F(KeyWindow, StrongKeyIsAcceptedWithoutAQuestion)
{
    ScriptedDialogs dialogs;
    window.setDialogs(&dialogs);
    acceptKey(QStringLiteral("Violets are blue, 1984 miles"));
    EXPECT_TRUE(window.KeyAccepted());
    EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(KeyWindow, SuggestedKeyIsShownOnceWithItsChecksumAndReminder)
{
    ScriptedDialogs dialogs;
    window.setDialogs(&dialogs);
    QString first;
    runModal([&] {
        EXPECT_FALSE(shows("lblStrength")); // nothing typed, nothing to rate
        QTest::mouseClick(button("cmdSuggestKey"), Qt::LeftButton);
        first = keyBox()->text();
        EXPECT_EQ(Keys::SignificantLength(first), 20);
        EXPECT_EQ(caption("lblChecksumIs"),
                  Text(KeyWindowTexts::ChecksumIs) + QLatin1Char(' ') + QString::number(Keys::KeyChecksum(first)));
        EXPECT_TRUE(caption("lblStrength").startsWith(Text(KeyStrengthTexts::RatingVeryWeak + 4)));
        EXPECT_TRUE(shows("lblSuggestedKey"));
        EXPECT_EQ(caption("lblSuggestedKey"), Text(KeyStrengthTexts::SuggestedKeyReminder));

        QTest::mouseClick(button("cmdSuggestKey"), Qt::LeftButton);
        EXPECT_NE(keyBox()->text(), first);
        QTest::keyClick(keyBox(), Qt::Key_Backspace); // the box no longer holds the suggestion
        EXPECT_FALSE(shows("lblSuggestedKey"));
        QTest::mouseClick(button("cmdSuggestKey"), Qt::LeftButton);
        QTest::mouseClick(button("cmdYes"), Qt::LeftButton);
    });
    EXPECT_TRUE(window.KeyAccepted());
    EXPECT_TRUE(dialogs.messages().empty());
    // Reopened, the window shows neither the key nor the reminder again.
    runModal([&] {
        EXPECT_TRUE(keyBox()->text().isEmpty());
        EXPECT_FALSE(shows("lblSuggestedKey"));
    });
}

// A character is a code point: an emoji (two UTF-16 units) counts once toward 16 and 64.
TEST_F(KeyWindow, AnEmojiCountsAsOneCharacter)
{
    const QString smiley = QStringLiteral(u"\U0001F600");
    runModal([&] {
        for (int i = 0; i < 15; ++i)
            keyBox()->insert(smiley);
        EXPECT_EQ(caption("lblChecksumIs"), QStringLiteral("15 ") + Text(KeyWindowTexts::CharactersCounted));
        EXPECT_TRUE(shows("cmdCancel"));
        keyBox()->insert(smiley);
        EXPECT_TRUE(shows("cmdYes"));
        EXPECT_EQ(caption("lblChecksumIs"),
                  Text(KeyWindowTexts::ChecksumIs) + ' ' + QString::number(Keys::KeyChecksum(smiley.repeated(16))));
        for (int i = 16; i < 70; ++i)
            keyBox()->insert(smiley);
        EXPECT_EQ(keyBox()->text(), smiley.repeated(64)) << "64 characters, none cut in half";
        EXPECT_TRUE(shows("cmdYes"));
    });
}

} // namespace
