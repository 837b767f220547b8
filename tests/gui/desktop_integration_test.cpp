// Quillet as a desktop program: its command line, the icon of every window, the version in the title,
// the boxes' buttons and Qt's own texts in the chosen language, and the local help beside the window.
#include "gui/AppIdentity.h"
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
    ASSERT_TRUE(test_files::write_file(letter, "PK\x03\x04"));
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
    dialogs.queueAnswer(DialogAnswer::Ok);
    window->cmdHelp_Click();

    ASSERT_EQ(dialogs.records().size(), 2u); // the question and the attempt to open the page
    EXPECT_TRUE(dialogs.records()[1].isOpenTarget);
    const auto* viewer = window->findChild<frmView*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(DesktopWindowTest, LocalHelpOpensBesideTheWindowWithoutMovingItAndEscapeClosesIt)
{
    const QRect screen = window->screen()->availableGeometry();
    // Room on one side only: the viewer goes to that side, whichever it is.
    for (const bool windowAtTheLeft : {true, false}) {
        SCOPED_TRACE(windowAtTheLeft ? "window at the left" : "window at the right");
        const int width = screen.width() / 2 - 20;
        window->setGeometry(windowAtTheLeft ? screen.left() : screen.right() + 1 - width, screen.top() + 30, width,
                            screen.height() / 2);
        const QRect mainBefore = window->frameGeometry();
        dialogs.queueAnswer(DialogAnswer::Cancel);
        window->cmdHelp_Click();

        auto* viewer = window->findChild<frmView*>();
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(viewer->isVisible());
        EXPECT_EQ(window->frameGeometry(), mainBefore);
        EXPECT_FALSE(viewer->frameGeometry().intersects(mainBefore));
        EXPECT_TRUE(screen.contains(viewer->frameGeometry()));
        EXPECT_EQ(viewer->frameGeometry().top(), mainBefore.top());

        // Escape where the focus is: in the help text.
        QTest::keyClick(viewer->findChild<QPlainTextEdit*>(QStringLiteral("txbText1")), Qt::Key_Escape);
        EXPECT_FALSE(viewer->isVisible());
    }
}

// ------------------------------------------------------------------- language of the boxes

// Runs `act` on the first visible modal dialog of type T once the event loop runs.
template <typename T> void WhenShown(std::function<void(T*)> act)
{
    QTimer::singleShot(0, [act]() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                act(dialog);
                return;
            }
        ADD_FAILURE() << "no dialog was shown";
    });
}

QStringList ButtonTexts(const QWidget* dialog)
{
    QStringList texts;
    for (const QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->isVisible())
            texts << button->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
}

class DialogLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }
    void TearDown() override { dialogs.setLanguage(Language::English); }

    QStringList buttonsOf(DialogButtons buttons)
    {
        QStringList texts;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            texts = ButtonTexts(box);
            box->reject();
        });
        dialogs.message({"Replace the file?", "Encrypt", DialogIcon::Question, buttons, 0});
        return texts;
    }

    QStringList buttonsOfTheOpenDialog()
    {
        QStringList texts;
        WhenShown<QFileDialog>([&](QFileDialog* dialog) {
            texts = ButtonTexts(dialog);
            dialog->reject();
        });
        dialogs.choosePath({FileDialogRequest::Kind::Open, "Choose", {"All files (*)"}});
        return texts;
    }

    QtDialogs dialogs;
};

TEST_F(DialogLanguageTest, BoxButtonsCarryTheProgramsOwnTexts)
{
    dialogs.setLanguage(Language::German);
    EXPECT_EQ(buttonsOf(DialogButtons::YesNoCancel), QStringList({"Abbrechen", "Ja", "Nein"}));
    EXPECT_EQ(buttonsOf(DialogButtons::OkCancel), QStringList({"Abbrechen", "OK"}));
    dialogs.setLanguage(Language::English);
    EXPECT_EQ(buttonsOf(DialogButtons::YesNoCancel), QStringList({"Cancel", "No", "Yes"}));
    EXPECT_EQ(buttonsOf(DialogButtons::Ok), QStringList({"OK"}));
}

TEST_F(DialogLanguageTest, FileDialogSpeaksGermanWhenGermanIsChosen)
{
    dialogs.setLanguage(Language::German);
    const QStringList german = buttonsOfTheOpenDialog();
    EXPECT_TRUE(german.contains("Abbrechen")) << german.join(", ").toStdString();
    EXPECT_TRUE(german.contains(QString::fromUtf8("Öffnen"))) << german.join(", ").toStdString();
    dialogs.setLanguage(Language::English);
    const QStringList english = buttonsOfTheOpenDialog();
    EXPECT_TRUE(english.contains("Cancel")) << english.join(", ").toStdString();
    EXPECT_TRUE(english.contains("Open")) << english.join(", ").toStdString();
}

} // namespace
