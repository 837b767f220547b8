// Send by e-mail and Send as text in the real window: the real xdg-email, on a desktop without a
// desktop environment where a stand-in mail program handles mailto: addresses, gets a new e-mail
// with the ciphertext file just written and the program's note; and where no mail program can be
// started, the box says where the file is and opens its folder.
#include "files/ProgramStart.h"
#include "format/ArmoredText.h"
#include "gui/WindowFixture.h"
#include "keys/KeyRoutines.h"
#include "mail/DesktopLauncher.h"
#include "mail/MailDraft.h"
#include "support/ProgramTexts.h"
#include "support/StandInPrograms.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <random>

namespace {

using stand_in::MailtoFields;

// Long enough for a slow xdg-email on a busy machine; the wait ends as soon as it is done.
constexpr int MailWaitMs = 30000;

class SendByMailTest : public KeyedWindowFixture<ScriptedDialogs> {
  protected:
    static inline const QString Message = QStringLiteral("Meet me at the old mill at noon, bring the ledger.");

    // Encrypts Message (with the file, when named) through the window into `output`.
    void EncryptInTheWindow(const QString& output, const QString& fileToAppend = {})
    {
        txbText()->setPlainText(Message);
        txbFile(0)->setText(fileToAppend);
        txbFile(1)->setText(output);
        if (fileToAppend.isEmpty())
            dialogs.queueAnswer(DialogAnswer::No); // no file to attach
        QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);
        ASSERT_TRUE(QFile::exists(output));
        dialogs.clear();
    }

    void ChooseLanguage(int language)
    {
        auto* list = control<QComboBox>(QStringLiteral("cboLanguage"));
        list->setCurrentIndex(language);
        emit list->activated(language);
        ASSERT_EQ(window->ShownLanguage(), language);
    }

    // The one mailto: address the mail program got, split into its fields.
    std::vector<std::pair<QByteArray, QByteArray>> MailReceived(const stand_in::Received& got)
    {
        EXPECT_EQ(got.arguments.size(), 1) << "the mail program gets the address alone";
        return got.arguments.isEmpty() ? std::vector<std::pair<QByteArray, QByteArray>>{}
                                       : MailtoFields(got.arguments.constFirst());
    }

    // Nothing of the key or the message reached the mail program, in its arguments or environment.
    void ExpectNoSecretIn(const stand_in::Received& got)
    {
        EXPECT_FALSE(got.everything.contains(Key.toUtf8()));
        EXPECT_FALSE(got.everything.contains(Keys::NormalizeKey(Key).toUtf8()));
        EXPECT_FALSE(got.everything.contains("QUILLET_KEY"));
        EXPECT_FALSE(got.everything.contains(Message.toUtf8()));
        EXPECT_FALSE(got.everything.contains("old mill"));
    }

    // The user's environment holds the command line's key: it must not travel on.
    void SetUp() override
    {
        KeyedWindowFixture<ScriptedDialogs>::SetUp();
        secret.Set(ProgramStart::KeyVariable, Key.toUtf8());
    }

    stand_in::Environment secret;
};

TEST_F(SendByMailTest, MailProgramGetsTheCiphertextFileAndTheNoteInTheWindowsLanguage)
{
    stand_in::GenericDesktop desktop;
    // Spaces, quotes and shell characters in the name reach the mail program as they are.
    const QString output = Path(QStringLiteral("Brief für \"Bob\" $(id) & co.zip"));
    EncryptInTheWindow(output);
    const QByteArray written = test_files::read_file(output);
    for (const int language : {Language::English, Language::German}) {
        SCOPED_TRACE(language);
        ChooseLanguage(language);
        QFile::remove(desktop.mailProgram + ".got");
        ASSERT_TRUE(button("cmdSendByMail")->isEnabled());
        QTest::mouseClick(button("cmdSendByMail"), Qt::LeftButton);
        EXPECT_FALSE(button("cmdSendByMail")->isEnabled()) << "one click, one e-mail";
        QTRY_VERIFY_WITH_TIMEOUT(stand_in::HasRun(desktop.mailProgram), MailWaitMs);
        QTRY_VERIFY(button("cmdSendByMail")->isEnabled());

        const stand_in::Received got = stand_in::Read(desktop.mailProgram);
        const auto fields = MailReceived(got);
        ASSERT_EQ(fields.size(), 3u);
        EXPECT_EQ(fields[0].first, "subject");
        EXPECT_EQ(QString::fromUtf8(fields[0].second), Text(MailTexts::Subject, language));
        EXPECT_EQ(fields[1].first, "body");
        EXPECT_EQ(QString::fromUtf8(fields[1].second), Text(MailTexts::AttachmentNote, language));
        EXPECT_EQ(fields[2].first, "attach");
        EXPECT_EQ(fields[2].second, QFile::encodeName(QFileInfo(output).canonicalFilePath()));
        EXPECT_EQ(test_files::read_file(QFile::decodeName(fields[2].second)), written) << "the file just written";
        ExpectNoSecretIn(got);
        EXPECT_NE(got.session, qint64(getsid(0))) << "closing Quillet's terminal would close the mail program";
        EXPECT_TRUE(dialogs.records().empty());
    }
}

TEST_F(SendByMailTest, SendAsTextPutsTheBlockOfTheFileIntoTheBody)
{
    stand_in::GenericDesktop desktop;
    // A small file in place of the filler keeps the block well below the limit.
    ASSERT_TRUE(test_files::write_file(Path("note.txt"), "see you"));
    EncryptInTheWindow(Path("letter.zip"), Path("note.txt"));
    ChooseLanguage(Language::German);
    QTest::mouseClick(button("cmdSendAsText"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(stand_in::HasRun(desktop.mailProgram), MailWaitMs);

    const stand_in::Received got = stand_in::Read(desktop.mailProgram);
    const auto fields = MailReceived(got);
    ASSERT_EQ(fields.size(), 2u) << "nothing attached";
    EXPECT_EQ(QString::fromUtf8(fields[0].second), Text(MailTexts::Subject, Language::German));
    const QString body = QString::fromUtf8(fields[1].second);
    const QString note = Text(MailTexts::TextBlockNote, Language::German) + "\r\n\r\n";
    ASSERT_TRUE(body.startsWith(note)) << body.toStdString();
    const Armor::Decoded block = Armor::Decode(body.mid(note.size()).toLatin1());
    ASSERT_EQ(block.found, Armor::Found::Ok);
    EXPECT_EQ(block.ciphertextFile, test_files::read_file(Path("letter.zip")));
    ExpectNoSecretIn(got);
    EXPECT_FALSE(body.contains(QString::number(Keys::KeyChecksum(Key)))) << "the note carries no checksum";
}

TEST_F(SendByMailTest, BlockTooLongForTheBodyIsOfferedAsAttachment)
{
    stand_in::GenericDesktop desktop;
    std::mt19937 random(26); // noise does not compress below the limit
    QByteArray noise(40 * 1024, '\0');
    for (char& byte : noise)
        byte = char(random());
    ASSERT_TRUE(test_files::write_file(Path("scan.bin"), noise));
    EncryptInTheWindow(Path("letter.zip"), Path("scan.bin"));
    ASSERT_FALSE(Mail::FitsInBody(Armor::Encode(test_files::read_file(Path("letter.zip")))));

    dialogs.queueAnswer(DialogAnswer::No);
    QTest::mouseClick(button("cmdSendAsText"), Qt::LeftButton);
    EXPECT_EQ(dialogs.questions(), std::vector<QuestionId>{QuestionId::AttachInsteadOfText});
    EXPECT_EQ(dialogs.messages().at(0).text, Text(MailTexts::BlockTooLong));
    EXPECT_TRUE(button("cmdSendAsText")->isEnabled()) << "No starts nothing";

    dialogs.clear();
    dialogs.queueAnswer(DialogAnswer::Yes);
    QTest::mouseClick(button("cmdSendAsText"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(stand_in::HasRun(desktop.mailProgram), MailWaitMs);
    const auto fields = MailReceived(stand_in::Read(desktop.mailProgram));
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(QString::fromUtf8(fields[1].second), Text(MailTexts::AttachmentNote));
    EXPECT_EQ(fields[2].second, QFile::encodeName(QFileInfo(Path("letter.zip")).canonicalFilePath()));
}

// xdg-email missing, or failing: the box says why, names the file's full path (selectable in the
// real box) and, on Yes, xdg-open opens the file's folder; when that fails too, the path is given.
TEST_F(SendByMailTest, WithoutAMailProgramTheBoxNamesTheFileAndOpensItsFolder)
{
    struct Case {
        const char* name;
        bool mailHelperThere; // a stand-in xdg-email that ends with status 3 (no handler found)
        int folderHelperStatus;
        int why;
    };
    const Case cases[] = {
        {"xdg-email missing", false, 0, MailTexts::NotInstalled},
        {"xdg-email fails, xdg-open too", true, 4, MailTexts::HelperFailed},
    };
    EncryptInTheWindow(Path("letter.zip"));
    const QString native = QDir::toNativeSeparators(QFileInfo(Path("letter.zip")).absoluteFilePath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir bin;
        stand_in::Environment env;
        env.Set("PATH", bin.path().toUtf8());
        if (c.mailHelperThere)
            stand_in::Write(bin.path(), QStringLiteral("xdg-email"), 3);
        const QString opener = stand_in::Write(bin.path(), QStringLiteral("xdg-open"), c.folderHelperStatus);
        dialogs.clear();
        dialogs.queueAnswer(DialogAnswer::Yes);

        QTest::mouseClick(button("cmdSendByMail"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialogs.records().empty(), MailWaitMs);
        const MessageRequest box = dialogs.messages().at(0);
        EXPECT_EQ(box.question, QuestionId::OpenCiphertextFolder);
        EXPECT_EQ(box.buttons, DialogButtons::YesNo);
        EXPECT_TRUE(box.text.startsWith(Text(c.why))) << box.text.toStdString();
        if (c.mailHelperThere) {
            EXPECT_TRUE(box.text.contains(Text(MailTexts::HelperFailed) + " 3.")) << "the helper's status is named";
        }
        EXPECT_TRUE(box.text.contains(Text(MailTexts::AttachItYourself) + CrLf + native + CrLf));
        EXPECT_TRUE(box.text.endsWith(Text(MailTexts::OpenItsFolder)));

        QTRY_VERIFY_WITH_TIMEOUT(stand_in::HasRun(opener), MailWaitMs);
        const stand_in::Received got = stand_in::Read(opener);
        EXPECT_EQ(got.arguments, QByteArrayList{QFile::encodeName(dir.path())});
        ExpectNoSecretIn(got);
        if (c.folderHelperStatus == 0) {
            QTest::qWait(200);
            EXPECT_EQ(dialogs.records().size(), 1u) << "the folder opened: nothing more to say";
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(dialogs.records().size(), 2u, MailWaitMs);
            EXPECT_EQ(dialogs.messages().at(1).text, Text(MailTexts::FolderNotOpened) + CrLf + native);
        }
        EXPECT_TRUE(button("cmdSendByMail")->isEnabled());
    }
}

// The commands follow the file: offered once it is written, withdrawn when it is gone (with a box if
// it went between the last look and the click), never in decrypt mode.
TEST_F(SendByMailTest, CommandsAreOfferedWhileTheLatestCiphertextFileExists)
{
    EXPECT_EQ(Mnemonics::Plain(button("cmdSendByMail")->text()), Text(MainWindowTexts::SendByMail));
    EXPECT_EQ(Mnemonics::Plain(button("cmdSendAsText")->text()), Text(MainWindowTexts::SendAsText));
    EXPECT_FALSE(button("cmdSendByMail")->isEnabled()) << "nothing encrypted yet";
    EXPECT_FALSE(button("cmdSendAsText")->isEnabled());

    EncryptInTheWindow(Path("letter.zip"));
    EXPECT_TRUE(button("cmdSendByMail")->isEnabled());
    EXPECT_TRUE(button("cmdSendAsText")->isEnabled());
    txbText()->setPlainText(QStringLiteral("The text box changed; the file on disk is still the one to send."));
    EXPECT_TRUE(button("cmdSendByMail")->isEnabled());

    option(QStringLiteral("optDecrypt"))->click();
    EXPECT_FALSE(button("cmdSendByMail")->isEnabled());
    option(QStringLiteral("optEncrypt"))->click();
    EXPECT_TRUE(button("cmdSendByMail")->isEnabled());

    ASSERT_TRUE(QFile::remove(Path("letter.zip")));
    QTRY_VERIFY(!button("cmdSendByMail")->isEnabled());
    EXPECT_FALSE(button("cmdSendAsText")->isEnabled());
    EncryptInTheWindow(Path("letter.zip"));
    ASSERT_TRUE(button("cmdSendByMail")->isEnabled());

    // Gone between the last look and the click.
    ASSERT_TRUE(QFile::remove(Path("letter.zip")));
    window->cmdSendByMail_Click();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text,
              Text(MailTexts::FileGone) + CrLf + QDir::toNativeSeparators(Path("letter.zip")));
    EXPECT_FALSE(button("cmdSendByMail")->isEnabled());
}

} // namespace
