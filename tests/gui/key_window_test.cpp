#include "gui/frmKeyboardWithDisplay.h"
#include "support/ProgramTexts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class KeyWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }

    void SetUp() override
    {
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
        EXPECT_EQ(caption("lblChecksumIs"), QStringLiteral("15 ") + Text(103));
        EXPECT_TRUE(shows("cmdCancel"));
        EXPECT_FALSE(shows("cmdYes"));
        EXPECT_FALSE(shows("cmdNo"));
        EXPECT_FALSE(shows("lblUseThisKey"));

        QTest::keyClicks(keyBox(), QStringLiteral(" p"));
        EXPECT_EQ(caption("lblChecksumIs"), Text(136) + QStringLiteral(" 7203"));
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
        {"", QStringLiteral("0 ") + Text(103)},
        {"  x ", QStringLiteral("1 ") + Text(102)},
        {"a b\tc", QStringLiteral("3 ") + Text(103)},
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
            EXPECT_EQ(window.windowTitle(), Text(57, language));
            EXPECT_EQ(caption("lblEntertheKey"), Text(124, language));
            EXPECT_EQ(caption("lblUseThisKey"), Text(127, language));
            EXPECT_TRUE(caption("lblChecksumIs").startsWith(Text(136, language)));
            EXPECT_EQ(button("cmdYes")->text(), Text(97, language));
            EXPECT_EQ(button("cmdNo")->text(), Text(98, language));
            EXPECT_EQ(button("cmdCancel")->text(), Text(184, language));
        });
        EXPECT_FALSE(Text(57, language).isEmpty());
    }
    EXPECT_NE(Text(97, Language::German), Text(97, Language::English));
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
        EXPECT_EQ(caption("lblChecksumIs"), QStringLiteral("0 ") + Text(103));
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
        EXPECT_EQ(caption("lblChecksumIs").left(Text(136).size()), Text(136));
    });
}

} // namespace
