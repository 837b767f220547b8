// The encrypt pipeline as a user meets it: what is on disk afterwards, which boxes were shown, and
// whether the ciphertext file opens again with the same key.
#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "format/ArmoredText.h"
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"
#include "keys/KeyRoutines.h"
#include "pipeline/Dialogs.h"
#include "pipeline/EncryptPipeline.h"
#include "support/TestFiles.h"
#include "texts/Language.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Key = QStringLiteral("Correct Horse Battery Staple 42");

QString Text(int number)
{
    return Language::GetProgramText(number, Language::English);
}

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
    const QByteArray key = Keys::MakeEngineKey(quickKey).toUtf8();
    if (allocate_buffers() == 0)
        return {};
    operation_initialization(key.constData(), 0, split.body.size(), 0);
    const int32_t decrypted = decrypt_file(body.toUtf8().constData(), packed.toUtf8().constData());
    deallocate_buffers();
    if (decrypted != 0 || alb() == 0)
        return {};
    const int32_t unpacked = dcf(packed.toUtf8().constData(), plain.toUtf8().constData(), 0);
    dalb();
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
    EXPECT_EQ(outcome.randomness.sides[0].randomnessText, Text(401));
    EXPECT_GT(outcome.randomness.sides[1].measure, 0.0);
    EXPECT_FALSE(outcome.ViewCiphertextEnabled());

    // Every box carries the command's caption; the last one is the closing message.
    for (const MessageRequest& box : dialogs.messages())
        EXPECT_EQ(box.title, Text(EncryptTexts::CommandCaption));
    EXPECT_EQ(LastBoxText(), outcome.closingMessage);
    EXPECT_TRUE(outcome.closingMessage.startsWith(Text(146) + "\r\n\r\n" + Text(69) + ' '));
    EXPECT_TRUE(outcome.closingMessage.contains(" Kb " + Text(93) + "\r\n" + Text(70)));
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
    EXPECT_TRUE(outcome.closingMessage.startsWith(Text(35) + "\r\n\r\n"));
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
    for (const Case& c : cases) {
        dialogs.clear();
        dialogs.queueAnswer(c.answer);
        if (!c.chosen.isEmpty())
            dialogs.queuePath(c.chosen);

        const EncryptOutcome outcome = EncryptMessage(request, dialogs);

        ASSERT_TRUE(outcome.success) << LastBoxText().toStdString();
        const MessageRequest offer = dialogs.messages().front();
        EXPECT_EQ(offer.text, Text(137) + "\r\n" + Text(139));
        EXPECT_EQ(offer.buttons, DialogButtons::YesNo);
        EXPECT_EQ(offer.defaultButton, 1) << "No is the default";
        EXPECT_EQ(outcome.fileToAppend, c.chosen);
        EXPECT_EQ(Decrypted().name, c.expectedName);
    }
}

TEST_F(EncryptPipelineTest, SameMessageAndKeyGiveTheSameDecoration)
{
    const EncryptOutcome first = EncryptMessage(request, dialogs);
    const QByteArray one = test_files::read_file(request.outputPath);
    request.outputPath = Path("again.zip");
    const EncryptOutcome second = EncryptMessage(request, dialogs);
    const QByteArray two = test_files::read_file(request.outputPath);
    ASSERT_TRUE(first.success && second.success);

    const CiphertextHeaderInfo a = DescribeCiphertextHeader(one), b = DescribeCiphertextHeader(two);
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(one.left(18), two.left(18)) << "signature, flags, method, random bytes";
    EXPECT_EQ(one.mid(26, a.headerLength - 26), two.mid(26, b.headerLength - 26)) << "name and extension";
    // Only the stated sizes follow the engine output: 105 % to 115 % of it, and 40 % to 75 % of that.
    for (const CiphertextHeaderInfo& info : {a, b}) {
        EXPECT_GE(info.statedUncompressedSize, info.bodyLength * 105 / 100);
        EXPECT_LE(info.statedUncompressedSize, info.bodyLength * 115 / 100 + 1);
        EXPECT_GE(info.statedCompressedSize, info.statedUncompressedSize * 40 / 100);
        EXPECT_LE(info.statedCompressedSize, info.statedUncompressedSize * 75 / 100 + 1);
    }
}

TEST_F(EncryptPipelineTest, AnExistingOutputIsReplacedOnlyAfterYes)
{
    ASSERT_TRUE(test_files::write_file(request.outputPath, "the previous ciphertext"));
    dialogs.queueAnswer(DialogAnswer::No);
    EXPECT_FALSE(AskReplaceExistingOutput(dialogs, request.outputPath, Language::English));
    dialogs.queueAnswer(DialogAnswer::Yes);
    EXPECT_TRUE(AskReplaceExistingOutput(dialogs, request.outputPath, Language::English));
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(91));
    EXPECT_EQ(dialogs.messages()[0].title, Text(92));
    EXPECT_EQ(dialogs.messages()[0].buttons, DialogButtons::YesNo);
    EXPECT_EQ(test_files::read_file(request.outputPath), "the previous ciphertext");

    dialogs.clear();
    EXPECT_TRUE(AskReplaceExistingOutput(dialogs, Path("new.zip"), Language::English));
    EXPECT_TRUE(dialogs.messages().empty()) << "nothing to ask about a new file";

    ASSERT_TRUE(EncryptMessage(request, dialogs).success);
    EXPECT_TRUE(test_files::read_file(request.outputPath).startsWith("PK"));
}

int32_t CompressionThatFails(const char*, const char* out, int32_t)
{
    QFile partial(QString::fromUtf8(out));
    if (partial.open(QIODevice::WriteOnly))
        partial.write("half a frame");
    return packer_result::kCompressFailed;
}

int32_t EngineThatReportsPositive(const char*, const char* out)
{
    QFile partial(QString::fromUtf8(out));
    if (partial.open(QIODevice::WriteOnly))
        partial.write("not a whole body");
    return 1;
}

int32_t EngineThatFails(const char*, const char*)
{
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
         EncryptTexts::NoPlainTempName, DialogIcon::Exclamation},
        {"compression fails", [](EncryptRequest& r) { r.engine.compressFile = CompressionThatFails; },
         EncryptTexts::CompressionFailed, DialogIcon::Exclamation},
        {"engine result positive", [](EncryptRequest& r) { r.engine.encryptFile = EngineThatReportsPositive; },
         EncryptTexts::EngineFailed, DialogIcon::Exclamation},
        {"engine result negative", [](EncryptRequest& r) { r.engine.encryptFile = EngineThatFails; },
         EncryptTexts::EngineFailed, DialogIcon::Exclamation},
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
