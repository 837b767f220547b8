// The decrypt command in the real main window: how the window looks while the user is asked for a
// folder, what it shows afterwards (message, folder row, restored key field), and what stops it.
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "pipeline/NoKeyMessage.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// What the window showed while the folder chooser was open.
struct WindowDuringChooser {
    QString keyField;
    QColor keyColour;
    bool frame1Visible = false;
    QString appendedFileCaption;
    bool decryptEnabled = true;
    bool quitEnabled = false;
};

// Scripted answers, and a look at the window each time a folder is asked for.
class WatchingDialogs : public ScriptedDialogs {
  public:
    QString choosePath(const FileDialogRequest& request) override
    {
        if (window) {
            const auto* keyField = window->findChild<QLineEdit*>("txbQuickKey");
            seen.push_back({keyField->text(), keyField->palette().color(QPalette::Text),
                            window->findChild<QFrame*>("Frame1")->isVisible(),
                            window->findChild<QLabel*>("lblAppendedFile")->text(),
                            window->findChild<QPushButton*>("cmdDecryptMessage")->isEnabled(),
                            window->findChild<QPushButton*>("cmdQuit")->isEnabled()});
        }
        return ScriptedDialogs::choosePath(request);
    }
    frmMain* window = nullptr;
    std::vector<WindowDuringChooser> seen;
};

class DecryptCommandTest : public KeyedWindowFixture<WatchingDialogs> {
  protected:
    void SetUp() override
    {
        KeyedWindowFixture::SetUp();
        if (HasFatalFailure())
            return;
        QDir(dir.path()).mkpath("out");
        option("optDecrypt")->click();
        dialogs.window = window.get();
    }

    // A ciphertext file made by the encrypt pipeline, named in the first file field.
    void PrepareCiphertext(const QString& message, const QString& fileToAppend)
    {
        txbFile(0)->setText(MakeCiphertext(message, fileToAppend));
    }

    void ExpectKeyFieldGivenBack()
    {
        EXPECT_EQ(txbQuickKey()->text(), Key);
        EXPECT_EQ(txbQuickKey()->palette().color(QPalette::Text), QColor(Qt::black));
        EXPECT_FALSE(txbQuickKey()->font().bold());
        EXPECT_TRUE(button("cmdDecryptMessage")->isEnabled());
        EXPECT_TRUE(button("cmdQuickKey")->isEnabled());
        EXPECT_FALSE(button("cmdEncryptMessage")->isEnabled());
        EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
        EXPECT_TRUE(QDir(workFolder.path()).isEmpty());
    }
};

TEST_F(DecryptCommandTest, MessageAndAttachedFileAppearInTheWindow)
{
    QFile attachment(Path("Minutes.TXT"));
    ASSERT_TRUE(attachment.open(QIODevice::WriteOnly));
    attachment.write("Minutes of the meeting.\n");
    attachment.close();
    PrepareCiphertext("The minutes are attached.", attachment.fileName());
    txbText()->setPlainText("old text");
    dialogs.queuePath(Path("out"));

    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);

    ASSERT_EQ(dialogs.seen.size(), 1u);
    const WindowDuringChooser& during = dialogs.seen[0];
    EXPECT_EQ(during.keyField, "     " + Text(DecryptTexts::Busy) + " ...     ");
    EXPECT_EQ(during.keyColour, QColor(255, 0, 0));
    EXPECT_TRUE(during.frame1Visible);
    EXPECT_EQ(during.appendedFileCaption, Text(DecryptTexts::FolderCaption) + ":");
    EXPECT_FALSE(during.decryptEnabled);
    EXPECT_TRUE(during.quitEnabled);

    const QString written = QDir::toNativeSeparators(Path("out/minutes.txt"));
    EXPECT_EQ(txbText()->toPlainText(), "The minutes are attached.");
    EXPECT_TRUE(frame("Frame1")->isVisible());
    EXPECT_TRUE(label("lblAppendedFile")->isVisible());
    EXPECT_EQ(label("lblAppendedFile")->text(), Text(DecryptTexts::SavedAs) + ":");
    EXPECT_EQ(txbFile(1)->text(), written);
    EXPECT_FALSE(cmdSpecifyFile(1)->isVisible());
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Minutes of the meeting.\n");
    EXPECT_EQ(dialogs.messages().back().text.left(Text(DecryptTexts::DecryptedAndSaved).size()),
              Text(DecryptTexts::DecryptedAndSaved));
    ExpectKeyFieldGivenBack();
}

// The folder row says what became of the attached file when it was not saved.
TEST_F(DecryptCommandTest, FolderRowSaysWhatBecameOfAnUnsavedFile)
{
    struct Case {
        const char* name;
        QString folder; // what the chooser gives back; "" when the user cancels it
        int caption;
    };
    const Case cases[] = {
        {"no folder chosen", "", 41},
        {"folder cannot be written", Path("missing"), 43},
    };
    ASSERT_TRUE(test_files::write_file(Path("notes.txt"), "notes"));
    PrepareCiphertext("See the notes.", Path("notes.txt"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        if (!c.folder.isEmpty())
            dialogs.queuePath(c.folder);
        dialogs.queueAnswer(DialogAnswer::Yes); // go on without the file, if asked

        QTest::mouseClick(window->findChild<QPushButton*>("cmdDecryptMessage"), Qt::LeftButton);

        EXPECT_EQ(window->findChild<QPlainTextEdit*>("txbText")->toPlainText(), "See the notes.");
        EXPECT_TRUE(window->findChild<QFrame*>("Frame1")->isVisible());
        EXPECT_EQ(window->findChild<QLabel*>("lblAppendedFile")->text(), Text(c.caption));
        EXPECT_TRUE(window->findChild<QLineEdit*>("txbFile1")->text().isEmpty());
    }
}

TEST_F(DecryptCommandTest, WrongKeyLeavesTheTextBoxEmptyAndTheFolderRowHidden)
{
    PrepareCiphertext("Only for the right key.", {});
    EnterKey("A Different Key Altogether 7");
    txbText()->setPlainText("old text");

    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(DecryptTexts::NotDecrypted) + CrLf + Text(DecryptTexts::WrongKey));
    EXPECT_EQ(dialogs.messages()[0].title, Text(DecryptTexts::CommandCaption));
    EXPECT_TRUE(txbText()->toPlainText().isEmpty());
    EXPECT_FALSE(frame("Frame1")->isVisible());
    EXPECT_EQ(txbQuickKey()->text(), "A Different Key Altogether 7");
    EXPECT_FALSE(window->BusyLineShown());
}

TEST_F(DecryptCommandTest, NoKeyOrAHiddenKeyStopsBeforeAnythingChanges)
{
    PrepareCiphertext("Never shown.", {});
    txbText()->setPlainText("old text");

    // The key is hidden: the user chooses to look at it first.
    QTest::mouseClick(button("cmdHideShowQuickKey"), Qt::LeftButton);
    dialogs.queueAnswer(DialogAnswer::Yes);
    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text,
              Text(MainWindowTexts::ShowHiddenKeyQuestion) + CrLf + Text(MainWindowTexts::ShowHiddenKeyQuestionMore));
    EXPECT_EQ(txbQuickKey()->text(), Key);

    // No key at all.
    dialogs.queueAnswer(DialogAnswer::Yes);
    QTest::mouseClick(button("cmdClearQuickKey"), Qt::LeftButton);
    dialogs.clear();
    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(NoKeyTexts::AskForSendersKey));
    EXPECT_EQ(dialogs.messages()[0].title, Text(MainWindowTexts::NoKeySpecified));

    EXPECT_EQ(txbText()->toPlainText(), "old text");
    EXPECT_TRUE(QDir(workFolder.path()).isEmpty());
}

} // namespace
