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
    // Red, darkened where the palette's ground needs it to stay readable.
    EXPECT_EQ(during.keyColour.hue(), 0);
    EXPECT_EQ(during.keyColour.saturation(), 255);
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
        // Asked for another folder after the failure, the user gives up.
        {"folder cannot be written", Path("missing"), 41},
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

// A folder that cannot take the file is not the end: the user is asked again, and the row then shows
// the file where it was saved, without a second decryption.
TEST_F(DecryptCommandTest, AFolderThatCannotTakeTheFileIsFollowedByAnotherOne)
{
    ASSERT_TRUE(test_files::write_file(Path("notes.txt"), "notes"));
    PrepareCiphertext("See the notes.", Path("notes.txt"));
    dialogs.queuePath(Path("missing"));
    dialogs.queuePath(Path("out"));

    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);

    ASSERT_EQ(dialogs.seen.size(), 2u);
    EXPECT_TRUE(dialogs.seen[1].frame1Visible);
    EXPECT_EQ(dialogs.seen[1].appendedFileCaption, Text(DecryptTexts::FolderCaption) + ":");
    EXPECT_EQ(txbText()->toPlainText(), "See the notes.");
    EXPECT_EQ(label("lblAppendedFile")->text(), Text(DecryptTexts::SavedAs) + ":");
    EXPECT_EQ(txbFile(1)->text(), QDir::toNativeSeparators(Path("out/notes.txt")));
    EXPECT_EQ(test_files::read_file(Path("out/notes.txt")), "notes");
    EXPECT_TRUE(dialogs.messages().back().text.startsWith(Text(DecryptTexts::DecryptedAndSaved)));
}

// What the file is not needs no key: a missing file, or one that is not a Quillet ciphertext, is
// refused when Decrypt is pressed without a key, and the focus goes to the row that takes the file.
TEST_F(DecryptCommandTest, AFileThatIsMissingOrNotOursIsRefusedBeforeTheKey)
{
    ASSERT_TRUE(
        test_files::write_file(Path("paper.pdf"), QByteArray("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n") + QByteArray(300, ' ')));
    dialogs.queueAnswer(DialogAnswer::Yes);
    QTest::mouseClick(button("cmdClearQuickKey"), Qt::LeftButton);
    struct Case {
        const char* name;
        QString file;
        QString problem; // what the box says after the file's name
    };
    const Case cases[] = {
        {"missing", Path("missing.zip"), "No such file or folder."},
        {"a PDF", Path("paper.pdf"), Text(DecryptTexts::NotOurFile) + CrLf + Text(DecryptTexts::NewerVersion)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        txbFile(0)->setText(c.file);
        dialogs.clear();
        button("cmdDecryptMessage")->setFocus();

        QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);

        ASSERT_EQ(dialogs.messages().size(), 1u) << "the key is not asked for";
        const MessageRequest box = dialogs.messages()[0];
        EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(c.file))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(c.problem)) << box.text.toStdString();
        EXPECT_TRUE(box.text.endsWith(CrLf + Text(DecryptTexts::CheckTheFile))) << box.text.toStdString();
        EXPECT_EQ(box.title, Text(DecryptTexts::CommandCaption));
        EXPECT_EQ(window->focusWidget(), cmdSpecifyFile(0));
    }
    EXPECT_TRUE(QDir(workFolder.path()).isEmpty());
}

// `quillet FILE` with a file that is not there: said at start, naming the file, not at Decrypt.
TEST_F(DecryptCommandTest, AReceivedFileThatIsMissingIsNamedAtStart)
{
    dialogs.clear();

    window->OpenReceivedFile(Path("missing.zip"));

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(DecryptTexts::CiphertextUnreadable) + " " +
                                              QDir::toNativeSeparators(Path("missing.zip")) + ":" + CrLf +
                                              "No such file or folder." + CrLf + Text(DecryptTexts::CheckTheFile));
    EXPECT_EQ(txbFile(0)->text(), QDir::toNativeSeparators(Path("missing.zip")));
    EXPECT_EQ(window->focusWidget(), cmdSpecifyFile(0));
}

// A wrong key is mended at the key, a damaged file by choosing the file again.
TEST_F(DecryptCommandTest, AFailedDecryptionPutsTheFocusOnWhatMendsIt)
{
    PrepareCiphertext("Only for the right key.", {});
    EnterKey("A Different Key Altogether 7");
    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);
    EXPECT_EQ(window->focusWidget(), button("cmdQuickKey"));

    QByteArray cut = test_files::read_file(txbFile(0)->text());
    cut.chop(40);
    ASSERT_TRUE(test_files::write_file(txbFile(0)->text(), cut));
    EnterKey(Key);
    dialogs.clear();
    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(DecryptTexts::NotDecrypted) + CrLf + Text(DecryptTexts::DamagedOrCut));
    EXPECT_EQ(window->focusWidget(), cmdSpecifyFile(0));
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
