// Quillet as a desktop program: its command line, the icon of every window, the version in the title,
// and the local help beside the window. (The boxes' language: qt_dialogs_test.cpp.)
#include "gui/AppIdentity.h"
#include "gui/PlaceBeside.h"
#include "gui/QtDialogs.h"
#include "gui/StartOptions.h"
#include "gui/WindowFixture.h"
#include "gui/frmKeyboardWithDisplay.h"
#include "gui/frmLargeTextbox.h"
#include "gui/frmMain.h"
#include "gui/frmRandomnessGraphic.h"
#include "gui/frmView.h"
#include "support/TestFiles.h"
#include "texts/Language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// ------------------------------------------------------------------- command line

TEST(StartOptionsTest, WhatTheCommandLineAsksFor)
{
    using Action = StartOptions::Action;
    const struct {
        QStringList arguments;
        Action action;
        const char* file;
    } cases[] = {
        {{}, Action::OpenWindow, ""},
        {{"letter.zip"}, Action::OpenWindow, "letter.zip"},
        {{"--help"}, Action::Help, ""},
        {{"-h"}, Action::Help, ""},
        {{"--version"}, Action::Version, ""},
        {{"-v"}, Action::Version, ""},
        // Before Qt has taken its own options out, --version still answers.
        {{"-platform", "offscreen", "--version"}, Action::Version, ""},
        // Qt's own options, with their values, are passed over (the command line is read before Qt
        // takes them out).
        {{"-platform", "offscreen", "letter.zip"}, Action::OpenWindow, "letter.zip"},
        {{"--platform", "offscreen"}, Action::OpenWindow, ""},
        {{"-style=fusion", "-reverse", "letter.zip"}, Action::OpenWindow, "letter.zip"},
        {{"letter.zip", "-qwindowtitle", "Mail"}, Action::OpenWindow, "letter.zip"},
        {{"--bogus"}, Action::Usage, ""},
        {{"one.zip", "two.zip"}, Action::Usage, ""},
        // After "--" a name that looks like an option is a file.
        {{"--", "--help"}, Action::OpenWindow, "--help"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const StartOptions options = ParseStartOptions(c.arguments);
        EXPECT_EQ(options.action, c.action);
        EXPECT_EQ(options.file, QLatin1String(c.file));
        EXPECT_EQ(options.error.isEmpty(), c.action != Action::Usage);
    }
    EXPECT_TRUE(ParseStartOptions({"--bogus"}).error.contains("--bogus"));
    EXPECT_EQ(StartVersionText(), QStringLiteral("quillet " QUILLET_VERSION "\n"));
}

class DesktopWindowTest : public WindowFixture<> {
  protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        dialogs.clear();
    }
};

TEST_F(DesktopWindowTest, ReceivedFileOpensInDecryptModeReadyForTheKey)
{
    QTemporaryDir folder;
    const QString letter = folder.filePath("letter.zip");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLET_VECTORS_DIR "/good_no_file.zip"), letter));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    window->OpenReceivedFile("letter.zip"); // as given on the command line, relative
    QDir::setCurrent(before);

    EXPECT_TRUE(option("optDecrypt")->isChecked());
    EXPECT_EQ(txbFile(0)->text(), QFileInfo(letter).absoluteFilePath());
    EXPECT_TRUE(button("cmdDecryptMessage")->isEnabled());
    EXPECT_FALSE(button("cmdEncryptMessage")->isEnabled());
    EXPECT_EQ(window->focusWidget(), button("cmdQuickKey")); // the key comes next
    EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(DesktopWindowTest, TitleShowsTheProjectVersion)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillet " QUILLET_VERSION));
}

TEST_F(DesktopWindowTest, EveryWindowShowsTheApplicationIcon)
{
    AppIdentity::Apply();
    const QList<QSize> sizes = AppIdentity::Icon().availableSizes();
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;

    frmView viewer(window.get());
    frmLargeTextbox large(window.get());
    frmKeyboardWithDisplay keys(window.get());
    frmRandomnessGraphic randomness(window.get());
    QMessageBox box(window.get());
    QFileDialog fileDialog(window.get());
    for (QWidget* shown :
         std::initializer_list<QWidget*>{window.get(), &viewer, &large, &keys, &randomness, &box, &fileDialog}) {
        SCOPED_TRACE(shown->metaObject()->className());
        EXPECT_EQ(shown->windowIcon().availableSizes(), sizes);
    }
}

// ------------------------------------------------------------------- help

TEST_F(DesktopWindowTest, HelpWithoutABrowserShowsTheLocalHelpInsteadOfABox)
{
    dialogs.setOpenTargetResult(31);
    dialogs.queueAnswer(DialogAnswer::Yes); // the help page
    window->cmdHelp_Click();

    ASSERT_EQ(dialogs.records().size(), 2u); // the question and the attempt to open the page
    EXPECT_TRUE(dialogs.records()[1].isOpenTarget);
    const auto* viewer = window->findChild<frmView*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
}

// Where the viewer goes beside the main window, in frame pixels on a 1000 x 800 screen.
TEST(PlaceBesideTest, RightWhenItFitsElseTheRoomierSideNarrowedElseCoveringAsLittleAsPossible)
{
    const QRect screen(0, 0, 1000, 800);
    const QSize viewer(300, 500);
    const int minimumWidth = 200;
    const struct {
        const char* what;
        QRect anchor;
        QRect expected;
    } cases[] = {
        {"room on both sides: right", {300, 100, 300, 400}, {600, 100, 300, 500}},
        {"room on the left only", {500, 100, 500, 400}, {200, 100, 300, 500}},
        {"narrowed to the room on the right", {0, 100, 750, 400}, {750, 100, 250, 500}},
        {"narrowed to the left, which has more room", {280, 100, 600, 400}, {0, 100, 280, 500}},
        // 150 px on the right, 100 on the left: the minimum covers 50 px of the window, no more.
        {"no room for the minimum, more on the right", {100, 100, 750, 400}, {800, 100, 200, 500}},
        {"no room for the minimum, more on the left", {150, 100, 750, 400}, {0, 100, 200, 500}},
        {"window low on the screen: the top rises to keep the viewer on it", {0, 600, 500, 150}, {500, 300, 300, 500}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FrameBeside(screen, c.anchor, viewer, minimumWidth), c.expected);
    }
}

TEST_F(DesktopWindowTest, LocalHelpOpensBesideTheWindowWithoutMovingItAndEscapeClosesIt)
{
    const QRect screen = window->screen()->availableGeometry();
    // The main window as narrow as it goes, at either edge of the screen: the viewer goes to the
    // other side. Where the screen is too narrow for both (the 800 px offscreen screen is), the
    // viewer covers no more of the window than its own minimum width makes unavoidable.
    for (const bool windowAtTheLeft : {true, false}) {
        SCOPED_TRACE(windowAtTheLeft ? "window at the left" : "window at the right");
        window->resize(window->minimumWidth(), screen.height() / 2);
        const int frameWidth = window->frameGeometry().width() - window->width();
        const int outerWidth = window->width() + frameWidth;
        window->move(windowAtTheLeft ? screen.left() : screen.right() + 1 - outerWidth, screen.top() + 30);
        const QRect mainBefore = window->frameGeometry();
        ASSERT_TRUE(screen.contains(mainBefore));
        dialogs.queueAnswer(DialogAnswer::No); // the help text
        window->cmdHelp_Click();

        auto* viewer = window->findChild<frmView*>();
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(viewer->isVisible());
        const QRect placed = viewer->frameGeometry();
        EXPECT_EQ(window->frameGeometry(), mainBefore);
        EXPECT_TRUE(screen.contains(placed));
        EXPECT_EQ(placed.top(), mainBefore.top());
        EXPECT_EQ(placed.center().x() > mainBefore.center().x(), windowAtTheLeft);
        const int room = windowAtTheLeft ? screen.right() - mainBefore.right() : mainBefore.left() - screen.left();
        const int leastOverlap = std::max(0, viewer->minimumWidth() + frameWidth - room);
        const QRect overlap = placed.intersected(mainBefore);
        EXPECT_LE(overlap.isEmpty() ? 0 : overlap.width(), leastOverlap);

        // Escape where the focus is: in the help text.
        QTest::keyClick(viewer->findChild<QPlainTextEdit*>(QStringLiteral("txbText1")), Qt::Key_Escape);
        EXPECT_FALSE(viewer->isVisible());
    }
}

} // namespace
