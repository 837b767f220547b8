// The encrypt pipeline as a user meets it: what is on disk afterwards, which boxes were shown, and
// whether the ciphertext file opens again with the same key.
#include "engines/CipherEngine.h"
#include "engines/Digest.h"
#include "engines/Packer.h"
#include "files/FileLimits.h"
#include "format/ArmoredText.h"
#include "format/CiphertextFile.h"
#include "format/FakeZipHeader.h"
#include "format/PlainPackage.h"
#include "format/RandomText.h"
#include "keys/KeyRoutines.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/Dialogs.h"
#include "pipeline/EncryptPipeline.h"
#include "support/FullFileSystem.h"
#include "support/PlainTextLinks.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/SteppingRunner.h"
#include "support/TestFiles.h"
#include "support/UnusableFolders.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include <cerrno>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Key = QStringLiteral("Correct Horse Battery Staple 42");

// Opens a ciphertext file the long way round, independent of the decrypt pipeline: header, engine,
// packer, package parser.
PlainPackageContent DecryptFile(const QString& path, const QString& quickKey, const QString& scratch)
{
    const CiphertextSplit split = SplitCiphertextFile(test_files::read_file(path));
    if (!split.ok)
        return {};
    const QString body = scratch + "/body", packed = scratch + "/packed", plain = scratch + "/plain";
    if (!test_files::write_file(body, split.body))
        return {};
    const QByteArray key = Keys::MakeEngineKey(quickKey);
    CipherEngine engine;
    if (engine.allocate_buffers() == 0)
        return {};
    engine.operation_initialization(key.constData(), 0, split.body.size(), 0);
    const int32_t decrypted = engine.decrypt_file(body.toUtf8().constData(), packed.toUtf8().constData());
    Packer packer;
    if (decrypted != 0 || packer.alb() == 0)
        return {};
    const int32_t unpacked = packer.dcf(packed.toUtf8().constData(), plain.toUtf8().constData(), 0);
    return unpacked == 0 ? ParsePlainPackage(test_files::read_file(plain)) : PlainPackageContent{};
}

class EncryptPipelineTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("work");
        QDir(dir.path()).mkpath("scratch");
        request.message = QStringLiteral("  Meet me at the north gate at noon.  ");
        request.outputPath = Path("out.zip");
        request.quickKey = Key;
        request.language = Language::English;
        request.kdfLevel = KdfLevel::Interactive;
        request.workingFolderBase = Path("work");
    }

    QString Path(const QString& name) const { return dir.path() + '/' + name; }

    // No plain text, no temporary file, no working folder: the base is as empty as before the run.
    bool WorkingBaseEmpty() const
    {
        return QDir(request.workingFolderBase)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
            .isEmpty();
    }

    PlainPackageContent Decrypted() { return DecryptFile(request.outputPath, Key, Path("scratch")); }

    QString LastBoxText() const { return dialogs.messages().empty() ? QString() : dialogs.messages().back().text; }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    EncryptRequest request;
};

TEST_F(EncryptPipelineTest, MessageWithoutFileDecryptsToTheTrimmedMessageAndLeavesNothingBehind)
{
    std::vector<bool> busy;
    request.showBusy = [&](bool on) { busy.push_back(on); };

    const EncryptOutcome outcome = EncryptMessage(request, dialogs);

    ASSERT_TRUE(outcome.success) << LastBoxText().toStdString();
    EXPECT_EQ(outcome.trimmedMessage, "Meet me at the north gate at noon.");
    EXPECT_TRUE(test_files::read_file(request.outputPath).startsWith(QByteArray("PK\x03\x04", 4)));
    const PlainPackageContent content = Decrypted();
    EXPECT_EQ(content.status, PackageStatus::Ok);
    EXPECT_TRUE(content.checkValueMatches);
    EXPECT_EQ(QString::fromUtf8(content.message), outcome.trimmedMessage);
    EXPECT_FALSE(content.fileAttached());
    EXPECT_GE(content.data.size(), 20000);
    EXPECT_TRUE(WorkingBaseEmpty());
    EXPECT_EQ(busy, (std::vector<bool>{true, false}));

    // A short message without a file is too short to measure: the randomness view stays off.
    EXPECT_EQ(outcome.randomness.sides[0].measure, -1.0);
    EXPECT_EQ(outcome.randomness.sides[0].randomnessText, Text(RandomnessTexts::TooShort));
    EXPECT_GT(outcome.randomness.sides[1].measure, 0.0);
    EXPECT_FALSE(outcome.ViewCiphertextEnabled());

    // Every box carries the command's caption; the last one is the closing message.
    for (const MessageRequest& box : dialogs.messages())
        EXPECT_EQ(box.title, Text(EncryptTexts::CommandCaption));
    EXPECT_EQ(LastBoxText(), outcome.closingMessage);
    EXPECT_TRUE(outcome.closingMessage.startsWith(Text(EncryptTexts::DoneWithoutFile) + "\r\n\r\n" +
                                                  Text(EncryptTexts::SizeIs) + ' '));
    EXPECT_TRUE(outcome.closingMessage.contains(" KB " + Text(EncryptTexts::SizeUnitNote) + "\r\n" +
                                                Text(EncryptTexts::AttachNote)));
}

TEST_F(EncryptPipelineTest, MessageWithFileCarriesTheFileAndMeasuresBothSides)
{
    QByteArray file;
    for (int i = 0; i < 30000; ++i)
        file += QByteArray::number(i * 7919 % 1000) + ' ';
    ASSERT_TRUE(test_files::write_file(Path("Quarterly Report.PDF"), file));
    request.fileToAppend = Path("Quarterly Report.PDF");
    request.message = QString::fromUtf8("Grüße aus Köln — see the report.");

    const EncryptOutcome outcome = EncryptMessage(request, dialogs);

    ASSERT_TRUE(outcome.success) << LastBoxText().toStdString();
    const PlainPackageContent content = Decrypted();
    EXPECT_EQ(QString::fromUtf8(content.message), request.message);
    EXPECT_EQ(content.name, "quarterly report.pdf");
    EXPECT_EQ(content.data, file);
    EXPECT_TRUE(WorkingBaseEmpty());
    EXPECT_EQ(dialogs.messages().size(), 1u) << "a named file needs no offer to append one";
    EXPECT_TRUE(outcome.closingMessage.startsWith(Text(EncryptTexts::DoneWithFile) + "\r\n\r\n"));
    EXPECT_TRUE(outcome.ViewCiphertextEnabled());
    EXPECT_EQ(outcome.randomness.sides[1].plotData, test_files::read_file(request.outputPath));
    EXPECT_TRUE(outcome.randomness.windowCaption.endsWith(QDir::toNativeSeparators(request.outputPath)));
}

// The offer to append a file: No, Yes and cancel, Yes and a file.
TEST_F(EncryptPipelineTest, OfferToAppendAFileFollowsTheAnswer)
{
    ASSERT_TRUE(test_files::write_file(Path("notes.txt"), "some notes to travel along"));
    struct Case {
        DialogAnswer answer;
        QString chosen;
        QByteArray expectedName;
    };
    const Case cases[] = {
        {DialogAnswer::No, {}, {}}, {DialogAnswer::Yes, {}, {}}, {DialogAnswer::Yes, Path("notes.txt"), "notes.txt"}};
    request.mayReplace = true; // each case writes the same output again
    for (const Case& c : cases) {
        dialogs.clear();
        dialogs.queueAnswer(c.answer);
        if (!c.chosen.isEmpty())
            dialogs.queuePath(c.chosen);

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        ASSERT_TRUE(outcome.success) << LastBoxText().toStdString();
        ASSERT_FALSE(dialogs.messages().empty());
        const MessageRequest offer = dialogs.messages().front();
        EXPECT_EQ(offer.text, Text(EncryptTexts::OfferToAppend) + "\r\n" + Text(EncryptTexts::OfferToAppendMore));
        EXPECT_EQ(offer.buttons, DialogButtons::YesNo);
        EXPECT_EQ(offer.defaultButton, 1) << "No is the default";
        EXPECT_EQ(offer.question, QuestionId::OfferToAppendFile);
        EXPECT_EQ(outcome.fileToAppend, c.chosen);
        EXPECT_EQ(Decrypted().name, c.expectedName);
    }
}

namespace {

// Decoration: everything of the header but the length byte and the two stated sizes.
QByteArray Decoration(const QByteArray& file)
{
    const CiphertextHeaderInfo info = DescribeCiphertextHeader(file);
    return file.left(HeaderLengthOffset) + file.mid(HeaderLengthOffset + 1, 18 - HeaderLengthOffset - 1) +
           file.mid(26, info.headerLength - 26);
}

} // namespace

TEST_F(EncryptPipelineTest, EveryEncryptionDrawsItsOwnDecoration)
{
    const EncryptOutcome first = EncryptMessage(request, dialogs);
    const QByteArray one = test_files::read_file(request.outputPath);
    request.outputPath = Path("again.zip");
    const EncryptOutcome second = EncryptMessage(request, dialogs);
    const QByteArray two = test_files::read_file(request.outputPath);
    ASSERT_TRUE(first.success && second.success);

    const CiphertextHeaderInfo a = DescribeCiphertextHeader(one), b = DescribeCiphertextHeader(two);
    ASSERT_TRUE(a.ok && b.ok);
    // Five random bytes and the made-up name: equal by chance far less than once in 2^40.
    EXPECT_NE(Decoration(one), Decoration(two)) << "same message, same key, yet nothing in common";
    // The filler is drawn afresh too (inside the encryption, so only the key holder sees it).
    const QByteArray fillerOne = DecryptFile(Path("out.zip"), Key, Path("scratch")).data;
    const QByteArray fillerTwo = DecryptFile(Path("again.zip"), Key, Path("scratch")).data;
    ASSERT_GE(fillerOne.size(), 20000);
    EXPECT_NE(fillerOne, fillerTwo);
    // The stated sizes follow the engine output: 105 % to 115 % of it, and 40 % to 75 % of that.
    for (const CiphertextHeaderInfo& info : {a, b}) {
        EXPECT_GE(info.statedUncompressedSize, info.bodyLength * 105 / 100);
        EXPECT_LE(info.statedUncompressedSize, info.bodyLength * 115 / 100 + 1);
        EXPECT_GE(info.statedCompressedSize, info.statedUncompressedSize * 40 / 100);
        EXPECT_LE(info.statedCompressedSize, info.statedUncompressedSize * 75 / 100 + 1);
    }
}

// The attack on a header seeded from the message: for a guessed message, recompute the filler and
// the decoration for every likely first character of the key and compare them with the file. A
// header drawn from a fresh seed matches no guess, not even the right one.
TEST_F(EncryptPipelineTest, TheHeaderDoesNotConfirmAGuessedMessage)
{
    request.message = QStringLiteral("yes");
    ASSERT_TRUE(EncryptMessage(request, dialogs).success);
    const QByteArray file = test_files::read_file(request.outputPath);
    const CiphertextHeaderInfo info = DescribeCiphertextHeader(file);
    ASSERT_TRUE(info.ok);

    const QByteArray header = file.left(info.headerLength);
    for (const QByteArray& guess : {QByteArray("yes"), QByteArray("no"), QByteArray("Hello")}) {
        const QByteArray digest = MD5OfString(guess);
        uint32_t sum = 0;
        for (int i = 0; i + 1 < digest.size(); ++i)
            sum += uint32_t(uint8_t(digest.at(i))) * uint8_t(digest.at(i + 1));
        for (uint32_t firstCharacter = 33; firstCharacter < 256; ++firstCharacter) {
            RandomSource rng;
            rng.reset();
            rng.seed(sum + firstCharacter);
            RandomString(rng, 20000, 50000, 1, 254, false); // the filler was drawn first
            ASSERT_NE(MakeFakeZipHeader(rng, info.bodyLength), header)
                << "guess " << guess.constData() << " confirmed with first key character " << firstCharacter;
        }
    }
    EXPECT_EQ(QString::fromUtf8(Decrypted().message), "yes") << "the file itself is sound";
}

// Sixteen smileys once shared their engine key with sixteen question marks and with sixteen other
// emoji; now only the key itself opens the file.
TEST_F(EncryptPipelineTest, AKeyOfEmojiOpensWithItselfOnly)
{
    QString smileys;
    for (char32_t c = 0x1F600; c <= 0x1F60F; ++c)
        smileys += QString::fromUcs4(&c, 1);
    request.quickKey = smileys;
    ASSERT_TRUE(EncryptMessage(request, dialogs).success) << LastBoxText().toStdString();

    QString otherEmoji;
    for (char32_t c = 0x1F910; c <= 0x1F91F; ++c)
        otherEmoji += QString::fromUcs4(&c, 1);
    EXPECT_EQ(DecryptFile(request.outputPath, smileys, Path("scratch")).status, PackageStatus::Ok);
    EXPECT_EQ(DecryptFile(request.outputPath, QString(16, QLatin1Char('?')), Path("scratch")).status,
              PackageStatus::Damaged);
    EXPECT_EQ(DecryptFile(request.outputPath, otherEmoji, Path("scratch")).status, PackageStatus::Damaged);
}

TEST_F(EncryptPipelineTest, AnExistingOutputIsReplacedOnlyAfterYes)
{
    ASSERT_TRUE(test_files::write_file(request.outputPath, "the previous ciphertext"));
    dialogs.queueAnswer(DialogAnswer::No);
    EXPECT_FALSE(AskReplaceExistingOutput(dialogs, request.outputPath, Language::English));
    dialogs.queueAnswer(DialogAnswer::Yes);
    EXPECT_TRUE(AskReplaceExistingOutput(dialogs, request.outputPath, Language::English));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(EncryptTexts::ReplaceQuestion) + "\r\n" + request.outputPath);
    EXPECT_EQ(dialogs.messages()[0].title, Text(EncryptTexts::ReplaceTitle));
    EXPECT_EQ(dialogs.messages()[0].buttons, DialogButtons::YesNo);
    EXPECT_EQ(dialogs.messages()[0].defaultButton, 1) << "No";
    EXPECT_EQ(dialogs.messages()[0].icon, DialogIcon::Question);
    EXPECT_EQ(dialogs.questions(),
              (std::vector<QuestionId>{QuestionId::ReplaceOutputFile, QuestionId::ReplaceOutputFile}));
    EXPECT_EQ(test_files::read_file(request.outputPath), "the previous ciphertext");

    dialogs.clear();
    EXPECT_TRUE(AskReplaceExistingOutput(dialogs, Path("new.zip"), Language::English));
    EXPECT_TRUE(dialogs.messages().empty()) << "nothing to ask about a new file";

    request.mayReplace = true; // the Yes above
    ASSERT_TRUE(EncryptMessage(request, dialogs).success);
    EXPECT_TRUE(test_files::read_file(request.outputPath).startsWith("PK"));
}

// Two runs, or a file saved at the output's name during the key derivation: the file that appeared
// is kept unless the user agrees when asked again; No writes nothing and shows nothing more.
TEST_F(EncryptPipelineTest, AFileThatAppearsDuringTheRunIsReplacedOnlyAfterYesThen)
{
    for (const DialogAnswer answer : {DialogAnswer::No, DialogAnswer::Yes}) {
        SCOPED_TRACE(answer == DialogAnswer::Yes ? "Yes" : "No");
        QFile::remove(request.outputPath);
        dialogs.clear();
        EncryptRequest attempt = request;
        attempt.engine.encryptFile = [&](CipherEngine& engine, const char* in, const char* out) {
            EXPECT_TRUE(test_files::write_file(request.outputPath, "saved during the run"));
            return engine.encrypt_file(in, out);
        };
        dialogs.queueAnswer(DialogAnswer::No); // the offer to attach a file
        dialogs.queueAnswer(answer);

        const EncryptOutcome outcome = EncryptMessage(attempt, dialogs);

        EXPECT_EQ(dialogs.questions(),
                  (std::vector<QuestionId>{QuestionId::OfferToAppendFile, QuestionId::ReplaceOutputFile}));
        EXPECT_EQ(outcome.success, answer == DialogAnswer::Yes);
        if (answer == DialogAnswer::Yes) {
            EXPECT_TRUE(test_files::read_file(request.outputPath).startsWith("PK"));
        } else {
            EXPECT_EQ(test_files::read_file(request.outputPath), "saved during the run");
            EXPECT_EQ(dialogs.messages().size(), 2u) << "no box after the user's own No";
        }
        EXPECT_TRUE(WorkingBaseEmpty());
    }
}

int32_t CompressionThatFails(Packer&, const char*, const char* out, int32_t)
{
    QFile partial(QString::fromUtf8(out));
    if (partial.open(QIODevice::WriteOnly))
        partial.write("half a frame");
    return packer_result::kCompressFailed;
}

int32_t EngineThatReportsPositive(CipherEngine&, const char*, const char* out)
{
    QFile partial(QString::fromUtf8(out));
    if (partial.open(QIODevice::WriteOnly))
        partial.write("not a whole body");
    return 1;
}

int32_t EngineThatFails(CipherEngine&, const char*, const char*)
{
    return cipher_result::kKeyNotDerivable;
}

// An engine whose output could not be written: errno says why, as the real engines leave it.
int32_t EngineThatFindsTheDiskFull(CipherEngine&, const char*, const char*)
{
    errno = ENOSPC;
    return cipher_result::kOutputUnwritable;
}

// Every refusal and failure: one box saying why, no ciphertext written (an existing output file
// left whole), and nothing left in the working-folder base.
TEST_F(EncryptPipelineTest, RefusalsAndFailuresWriteNothingAndLeaveNothingBehind)
{
    ASSERT_TRUE(test_files::write_file(Path("regular"), "a file, not a folder"));
    const QString tooLong = QString(50000, QChar(0xE9)) + 'x'; // 100,001 bytes of UTF-8, 50,001 characters
    struct Case {
        const char* name;
        std::function<void(EncryptRequest&)> change;
        int text;
        DialogIcon icon;
    };
    const Case cases[] = {
        {"no key", [](EncryptRequest& r) { r.quickKey.clear(); }, EncryptTexts::NoKeyEncrypt, DialogIcon::None},
        {"message too long", [&](EncryptRequest& r) { r.message = tooLong; }, EncryptTexts::MessageTooLong,
         DialogIcon::Exclamation},
        {"file to append unreadable", [&](EncryptRequest& r) { r.fileToAppend = Path("missing.pdf"); },
         EncryptTexts::FileUnreadable, DialogIcon::Exclamation},
        {"no working folder", [&](EncryptRequest& r) { r.workingFolderBase = Path("regular/work"); },
         EncryptTexts::NoWorkingFolder, DialogIcon::Exclamation},
        {"compression fails", [](EncryptRequest& r) { r.engine.compressFile = CompressionThatFails; },
         EncryptTexts::CompressionFailed, DialogIcon::Exclamation},
        {"engine result positive", [](EncryptRequest& r) { r.engine.encryptFile = EngineThatReportsPositive; },
         EncryptTexts::EngineFailed, DialogIcon::Exclamation},
        {"engine result negative", [](EncryptRequest& r) { r.engine.encryptFile = EngineThatFails; },
         EncryptTexts::EngineFailed, DialogIcon::Exclamation},
        {"engine output not written", [](EncryptRequest& r) { r.engine.encryptFile = EngineThatFindsTheDiskFull; },
         EncryptTexts::WorkingFolderFailed, DialogIcon::Exclamation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        EncryptRequest attempt = request;
        ASSERT_TRUE(test_files::write_file(attempt.outputPath, "the previous ciphertext"));
        c.change(attempt);

        const EncryptOutcome outcome = EncryptMessage(attempt, dialogs);

        EXPECT_FALSE(outcome.success);
        ASSERT_FALSE(dialogs.messages().empty());
        const MessageRequest box = dialogs.messages().back();
        EXPECT_TRUE(box.text.startsWith(Text(c.text))) << box.text.toStdString();
        EXPECT_FALSE(Text(c.text).isEmpty());
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(test_files::read_file(attempt.outputPath), "the previous ciphertext");
        EXPECT_TRUE(WorkingBaseEmpty());
        EXPECT_TRUE(outcome.closingMessage.isEmpty());
    }
}

// The file to append is checked when chosen, and again when it is read: one that grew past the
// limit meanwhile (even to a huge sparse file) is refused, never read whole.
TEST_F(EncryptPipelineTest, AFileToAppendThatGrewPastTheLimitIsRefusedWhenRead)
{
    for (const qint64 size : {FileLimits::MaxAppendedFileSize + 1, qint64{64} << 30}) {
        SCOPED_TRACE(size);
        dialogs.clear();
        ASSERT_TRUE(test_files::write_file(Path("grown.bin"), "small when chosen"));
        ASSERT_EQ(::truncate(QFile::encodeName(Path("grown.bin")).constData(), size), 0);
        request.fileToAppend = Path("grown.bin");

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        EXPECT_FALSE(outcome.success);
        EXPECT_TRUE(LastBoxText().startsWith(Text(AppendTexts::TooLargeToAttach))) << LastBoxText().toStdString();
        EXPECT_FALSE(QFile::exists(request.outputPath));
        EXPECT_TRUE(WorkingBaseEmpty());
    }
}

TEST_F(EncryptPipelineTest, APipeOrDeviceToAppendIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600), 0);
    for (const QString& path : {Path("pipe"), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        dialogs.clear();
        request.fileToAppend = path;

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        EXPECT_FALSE(outcome.success);
        EXPECT_EQ(LastBoxText(), Text(EncryptTexts::FileUnreadable) + "\r\nNot a regular file.");
        EXPECT_TRUE(WorkingBaseEmpty());
    }
}

class EncryptFullDiskTest : public EncryptPipelineTest, public ::testing::WithParamInterface<qsizetype> {};

// The ciphertext file goes to a file system that runs full: reported, and the earlier file kept.
TEST_P(EncryptFullDiskTest, ACiphertextThatDoesNotFitIsReportedAndTheEarlierFileKept)
{
    const qsizetype attached = GetParam();
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    QByteArray noise(attached, '\0');
    randombytes_buf(noise.data(), static_cast<size_t>(noise.size()));
    ASSERT_TRUE(test_files::write_file(Path("scratch/attached.bin"), noise));
    ASSERT_TRUE(disk.write("letter.zip", "the earlier ciphertext"));
    ASSERT_TRUE(disk.fill(attached / 2));
    request.fileToAppend = Path("scratch/attached.bin");
    request.outputPath = disk.filePath("letter.zip");
    request.mayReplace = true;

    const EncryptOutcome outcome = EncryptMessage(request, dialogs);

    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(outcome.closingMessage.isEmpty());
    EXPECT_EQ(LastBoxText(), Text(EncryptTexts::OutputNotWritten) + ' ' + disk.path() + ":\r\nDisk full.");
    EXPECT_EQ(test_files::read_file(request.outputPath), "the earlier ciphertext");
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"letter.zip", "zz-filler"}));
    EXPECT_TRUE(WorkingBaseEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, EncryptFullDiskTest, ::testing::Values(100, 16 * 1024, 2'000'000));

TEST_F(EncryptPipelineTest, AWorkingFolderThatFillsUpIsAnInputOutputFailure)
{
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    QByteArray noise(300'000, '\0');
    randombytes_buf(noise.data(), static_cast<size_t>(noise.size()));
    ASSERT_TRUE(test_files::write_file(Path("scratch/attached.bin"), noise));
    // Room for the plain package, not for what the packer makes of it.
    ASSERT_TRUE(disk.fill(noise.size() + 64 * 1024));
    request.fileToAppend = Path("scratch/attached.bin");
    request.workingFolderBase = disk.path();

    const EncryptOutcome outcome = EncryptMessage(request, dialogs);

    EXPECT_FALSE(outcome.success);
    EXPECT_TRUE(LastBoxText().startsWith(Text(EncryptTexts::WorkingFolderFailed) + ' ' + disk.path()))
        << LastBoxText().toStdString();
    EXPECT_TRUE(LastBoxText().endsWith("\r\nDisk full.")) << LastBoxText().toStdString();
    EXPECT_FALSE(QFile::exists(request.outputPath));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"zz-filler"});
    request.workingFolderBase = Path("work");
}

// A working folder that cannot be made is told as that: the folder it was to be made in and why.
TEST_F(EncryptPipelineTest, AWorkingFolderThatCannotBeMadeIsToldWithTheFolderAndTheCause)
{
    const ReadOnlyFolder readOnly;
    for (const UnusableBase& c : UnusableBases(Path("scratch"), readOnly)) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        request.workingFolderBase = c.base;

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        EXPECT_FALSE(outcome.success);
        ASSERT_EQ(dialogs.messages().size(), 2u) << "the offer to attach a file, then the failure";
        EXPECT_EQ(dialogs.messages()[1].text, Text(EncryptTexts::NoWorkingFolder) + ' ' + c.base + ":\r\n" + c.cause);
        EXPECT_EQ(dialogs.messages()[1].icon, DialogIcon::Exclamation);
        EXPECT_FALSE(QFile::exists(request.outputPath));
    }
    request.workingFolderBase = Path("work");
}

TEST_F(EncryptPipelineTest, EmptyMessageAndMissingOutputPathAreRefusedFirst)
{
    struct Case {
        const char* name;
        QString message;
        QString output;
        int text;
        QString trimmed;
    };
    const Case cases[] = {{"only spaces", "      ", Path("out.zip"), EncryptTexts::MessageEmpty, ""},
                          {"no output path", " hello ", "", EncryptTexts::NoOutputPath, "hello"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        request.message = c.message;
        request.outputPath = c.output;
        const EncryptOutcome outcome = EncryptMessage(request, dialogs);
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(LastBoxText(), Text(c.text));
        EXPECT_EQ(outcome.trimmedMessage, c.trimmed) << "the window writes this back into the text box";
        EXPECT_FALSE(QFile::exists(Path("out.zip")));
        EXPECT_TRUE(WorkingBaseEmpty());
    }
}

TEST_F(EncryptPipelineTest, UnwritableOutputIsReportedWithItsCause)
{
    ASSERT_TRUE(test_files::write_file(Path("regular"), "a file, not a folder"));
    request.outputPath = Path("regular/out.zip");

    const EncryptOutcome outcome = EncryptMessage(request, dialogs);

    EXPECT_FALSE(outcome.success);
    const QStringList lines = LastBoxText().split("\r\n");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], Text(EncryptTexts::OutputNotWritten) + ' ' + QDir::toNativeSeparators(Path("regular")) + ':');
    EXPECT_FALSE(lines[1].isEmpty()) << "the cause";
    EXPECT_EQ(dialogs.messages().back().icon, DialogIcon::Exclamation);
    EXPECT_TRUE(WorkingBaseEmpty());
}

TEST_F(EncryptPipelineTest, LongestMessageIsTakenWholeAndOneByteMoreIsRefused)
{
    request.message = QString(MaxMessageBytes, 'a');
    ASSERT_TRUE(EncryptMessage(request, dialogs).success) << LastBoxText().toStdString();
    EXPECT_EQ(Decrypted().message.size(), MaxMessageBytes);

    dialogs.clear();
    request.message = QString(MaxMessageBytes - 1, 'a') + QChar(0xE9); // 99,999 characters, 100,000 bytes
    request.outputPath = Path("longer.zip");
    EXPECT_FALSE(EncryptMessage(request, dialogs).success);
    EXPECT_EQ(LastBoxText(), Text(EncryptTexts::MessageTooLong));
    EXPECT_FALSE(QFile::exists(request.outputPath));
}

// The filler differs from run to run, so the two files differ in size; what the user meets does not.
TEST_F(EncryptPipelineTest, SlowStepsGivenToARunnerGiveTheSameOutcomeAsInPlace)
{
    const auto boxesShown = [&] {
        std::vector<std::pair<QString, DialogButtons>> shown;
        for (const MessageRequest& box : dialogs.messages())
            shown.emplace_back(box.title, box.buttons);
        return shown;
    };
    const EncryptOutcome inPlace = EncryptMessage(request, dialogs);
    ASSERT_TRUE(inPlace.success) << LastBoxText().toStdString();
    const auto inPlaceBoxes = boxesShown();
    dialogs.clear();
    QFile::remove(request.outputPath);

    SteppingRunner runner;
    request.control = runner.Control();
    const EncryptOutcome throughRunner = EncryptMessage(request, dialogs);

    ASSERT_TRUE(throughRunner.success) << LastBoxText().toStdString();
    EXPECT_GT(runner.steps, 0);
    EXPECT_FALSE(throughRunner.stopped);
    EXPECT_EQ(boxesShown(), inPlaceBoxes);
    EXPECT_EQ(test_files::read_file(request.outputPath), throughRunner.ciphertext);
    EXPECT_EQ(QString::fromUtf8(Decrypted().message), throughRunner.trimmedMessage);
    EXPECT_EQ(throughRunner.trimmedMessage, inPlace.trimmedMessage);
    EXPECT_TRUE(WorkingBaseEmpty());
}

// Packer, shredding of the package, engine, shredding of the packed package: a stop asked for during
// any of them leaves no temporary file, no working folder and the earlier output as it was.
TEST_F(EncryptPipelineTest, AStopDuringAnySlowStepWritesNothingShowsNoBoxAndLeavesNothingBehind)
{
    const QByteArray earlier("an earlier ciphertext the user still has");
    for (int stopAt = 1; stopAt <= 4; ++stopAt) {
        SCOPED_TRACE(stopAt);
        ASSERT_TRUE(test_files::write_file(request.outputPath, earlier));
        dialogs.clear();
        std::vector<bool> busy;
        request.showBusy = [&](bool on) { busy.push_back(on); };
        SteppingRunner runner(stopAt);
        request.control = runner.Control();

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        EXPECT_TRUE(outcome.stopped);
        EXPECT_FALSE(outcome.success);
        EXPECT_TRUE(outcome.closingMessage.isEmpty());
        EXPECT_EQ(test_files::read_file(request.outputPath), earlier);
        EXPECT_TRUE(WorkingBaseEmpty());
        // Only the offer to attach a file, asked before the work began.
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_EQ(dialogs.messages()[0].buttons, DialogButtons::YesNo);
        EXPECT_EQ(busy, (std::vector<bool>{true, false}));
    }
}

// The plain package and its compressed form pass through temporary files; whatever the outcome,
// each is overwritten before it is deleted, so a link kept to it shows other bytes afterwards.
TEST_F(EncryptPipelineTest, TemporaryPlainTextIsOverwrittenBeforeItIsDeleted)
{
    struct Case {
        const char* name;
        std::function<void(EncryptEngine&)> change;
        int kept; // temporaries that held plain text
    };
    const Case cases[] = {
        {"success", [](EncryptEngine&) {}, 2},
        {"compression fails", [](EncryptEngine& e) { e.compressFile = CompressionThatFails; }, 2},
        {"engine fails", [](EncryptEngine& e) { e.encryptFile = EngineThatFails; }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString links = Path(QStringLiteral("links/") + c.name);
        ASSERT_TRUE(QDir().mkpath(links));
        PlainTextLinks watch(links);
        EncryptRequest attempt = request;
        c.change(attempt.engine);
        attempt.engine = watch.Watch(attempt.engine);

        EncryptMessage(attempt, dialogs);

        EXPECT_EQ(watch.Kept(), c.kept);
        EXPECT_EQ(watch.Unshredded(), QStringList());
        EXPECT_TRUE(WorkingBaseEmpty());
    }
}

// Only spaces are taken from the ends: line breaks the user typed, leading ones too, are sent.
TEST_F(EncryptPipelineTest, OnlySpacesAreTrimmedLineBreaksAreSent)
{
    struct Case {
        QString message;
        QString sent;
    };
    const Case cases[] = {
        {"\r\n\r\nDear Anna,\r\nsee you.", "\r\n\r\nDear Anna,\r\nsee you."},
        {"  \nHi\n  ", "\nHi\n"},
        {"\n  Hi  \n", "\n  Hi  \n"},
        {"\tHi\t", "\tHi\t"},
    };
    request.mayReplace = true; // each case writes the same output again
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        dialogs.clear();
        request.message = c.message;

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        ASSERT_TRUE(outcome.success) << LastBoxText().toStdString();
        EXPECT_EQ(outcome.trimmedMessage, c.sent);
        EXPECT_EQ(QString::fromUtf8(Decrypted().message), c.sent);
    }
}

TEST_F(EncryptPipelineTest, TextFormIsTheArmoredFileWithTheSmallerFiller)
{
    struct Case {
        CiphertextForm form;
        bool handBackOnly;
        qsizetype leastFiller, mostFiller;
    };
    for (const Case c :
         {Case{CiphertextForm::Binary, false, 20000, 50000}, Case{CiphertextForm::Armored, false, 1000, 3000},
          Case{CiphertextForm::Armored, true, 1000, 3000}}) {
        SCOPED_TRACE(static_cast<int>(c.form) * 2 + c.handBackOnly);
        QFile::remove(request.outputPath);
        request.form = c.form;
        request.handBackOnly = c.handBackOnly;
        const EncryptOutcome outcome = EncryptMessage(request, dialogs);
        ASSERT_TRUE(outcome.success) << LastBoxText().toStdString();
        EXPECT_TRUE(WorkingBaseEmpty());
        if (c.handBackOnly) {
            EXPECT_FALSE(QFile::exists(request.outputPath)) << "nothing is written when the caller takes it";
        } else {
            const QByteArray written = test_files::read_file(request.outputPath);
            EXPECT_EQ(written,
                      c.form == CiphertextForm::Armored ? Armor::Encode(outcome.ciphertext) : outcome.ciphertext);
        }
        ASSERT_TRUE(test_files::write_file(Path("binary.zip"), outcome.ciphertext));
        const PlainPackageContent content = DecryptFile(Path("binary.zip"), Key, Path("scratch"));
        EXPECT_EQ(content.message, "Meet me at the north gate at noon.");
        EXPECT_GE(content.data.size(), c.leastFiller);
        EXPECT_LE(content.data.size(), c.mostFiller);
    }
}

} // namespace
