#include "engines/Digest.h"
#include "format/AttachedFileName.h"
#include "format/CiphertextFile.h"
#include "format/DecorationSeed.h"
#include "format/FakeZipHeader.h"
#include "format/FileName.h"
#include "format/PlainPackage.h"
#include "format/RandomSource.h"
#include "format/RandomText.h"
#include "format/WindowsFileNames.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr int SeedsTried = 2000;

int ByteAt(const QByteArray& bytes, int offset)
{
    return static_cast<unsigned char>(bytes.at(offset));
}

uint32_t Le32At(const QByteArray& bytes, int offset)
{
    return uint32_t(ByteAt(bytes, offset)) | uint32_t(ByteAt(bytes, offset + 1)) << 8 |
           uint32_t(ByteAt(bytes, offset + 2)) << 16 | uint32_t(ByteAt(bytes, offset + 3)) << 24;
}

RandomSource SeededSource(uint64_t seed)
{
    RandomSource rng;
    rng.reset();
    rng.seed(seed);
    return rng;
}

// Fields in front of a check value that matches them, so only the length fields can be at fault.
QByteArray WithCheckValue(const QByteArray& fields)
{
    return fields + MD5HexOfString(fields);
}

} // namespace

// ---- ZIP-like header ------------------------------------------------------------------------------

TEST(FakeZipHeader, EveryHeaderKeepsItsLayout)
{
    const QRegularExpression namePattern("^[a-z]{3,8}\\.(doc|xls|txt|xml|prn|pdf|ppt|rtf|odt|ods|lwp)$");
    const int64_t bodyLength = 1000000;
    QSet<QByteArray> extensions;
    QSet<int> headerLengths, flags, methods;
    for (uint32_t seed = 0; seed < SeedsTried; ++seed) {
        RandomSource rng = SeededSource(seed);
        const QByteArray header = MakeFakeZipHeader(rng, bodyLength);
        SCOPED_TRACE(header.toHex().toStdString());
        ASSERT_GE(header.size(), 37);
        ASSERT_LE(header.size(), 42);
        EXPECT_EQ(ByteAt(header, 11), header.size());
        EXPECT_TRUE(header.startsWith(QByteArray("PK\x03\x04\x14\x00", 6)));

        const QByteArray name = header.mid(30);
        EXPECT_TRUE(namePattern.match(QString::fromLatin1(name)).hasMatch()) << name.toStdString();
        EXPECT_EQ(ByteAt(header, 26), name.size());
        EXPECT_EQ(ByteAt(header, 27), 0);
        EXPECT_GE(ByteAt(header, 28), 1);
        EXPECT_LE(ByteAt(header, 28), 126);
        EXPECT_EQ(ByteAt(header, 29), 0);
        EXPECT_GE(ByteAt(header, 12), 52);
        EXPECT_LE(ByteAt(header, 12), 64);
        EXPECT_GE(ByteAt(header, 13), 60);
        EXPECT_LE(ByteAt(header, 13), 64);

        // Stated sizes: 105-115 % of the body, and 40-75 % of that.
        const double uncompressed = Le32At(header, 22);
        const double compressed = Le32At(header, 18);
        EXPECT_GE(uncompressed, 1.05 * bodyLength);
        EXPECT_LE(uncompressed, 1.15 * bodyLength);
        EXPECT_GE(compressed, 0.40 * uncompressed - 1);
        EXPECT_LE(compressed, 0.75 * uncompressed + 1);

        extensions.insert(name.right(3));
        headerLengths.insert(int(header.size()));
        flags.insert(ByteAt(header, 6) | ByteAt(header, 7) << 8);
        methods.insert(ByteAt(header, 8) | ByteAt(header, 9) << 8);
    }
    // Every decoration choice actually occurs.
    EXPECT_EQ(extensions.size(), 11);
    EXPECT_EQ(headerLengths, (QSet<int>{37, 38, 39, 40, 41, 42}));
    EXPECT_EQ(flags, (QSet<int>{0, 2}));
    EXPECT_EQ(methods, (QSet<int>{0, 8}));
}

TEST(FakeZipHeader, StatedSizesRoundHalvesToEven)
{
    struct Case {
        int64_t base;
        int percent;
        int32_t expected;
    };
    const Case cases[] = {
        {1000, 110, 1100},                                                            // B = 1000, q = 10
        {1100, 50, 550},                                                              // p = 50 of that
        {1010, 105, 1060},                                                            // 1060.5 -> even below
        {1030, 105, 1082},                                                            // 1081.5 -> even above
        {1001, 50, 500},                                                              // 500.5
        {1003, 50, 502},                                                              // 501.5
        {1001, 40, 400},                                                              // 400.4
        {1004, 115, 1155},                                                            // 1154.6
        {int64_t(30) * 1000 * 1000 * 1000, 115, std::numeric_limits<int32_t>::max()}, // held, never negative
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.base << " x " << c.percent << "%");
        EXPECT_EQ(RoundedPercent(c.base, c.percent), c.expected);
    }
    EXPECT_EQ(StatedUncompressedSize(1000, 10), 1100);
    EXPECT_EQ(StatedCompressedSize(1100, 50), 550);
    EXPECT_EQ(LongToBytes4(uint32_t(StatedUncompressedSize(1000, 10))), QByteArray::fromHex("4C040000"));
}

TEST(FakeZipHeader, SameSeedSameHeaderOnlySizesFollowTheBody)
{
    auto header = [](uint64_t seed, int64_t bodyLength) {
        RandomSource rng = SeededSource(seed);
        return MakeFakeZipHeader(rng, bodyLength);
    };
    const uint64_t seed = 0x0123456789ABCDEFull;
    const QByteArray first = header(seed, 5000);
    EXPECT_EQ(first, header(seed, 5000));
    EXPECT_NE(first, header(seed ^ (1ull << 40), 5000)) << "the high half of the seed counts too";

    const QByteArray otherLength = header(seed, 7000);
    EXPECT_EQ(otherLength.left(18), first.left(18));
    EXPECT_EQ(otherLength.mid(26), first.mid(26));
    EXPECT_NE(otherLength.mid(18, 8), first.mid(18, 8));
}

TEST(DecorationSeed, EveryGeneratorStartsFromItsOwnSeed)
{
    QSet<uint64_t> seeds;
    for (int i = 0; i < 1000; ++i)
        seeds.insert(FreshSeed());
    EXPECT_EQ(seeds.size(), 1000);

    RandomSource a = FreshRandomSource(), b = FreshRandomSource();
    EXPECT_NE(RandomString(a, 100, 100, 0, 255, false), RandomString(b, 100, 100, 0, 255, false));
}

// ---- Random helpers -------------------------------------------------------------------------------

TEST(RandomText, FillerStaysWithinItsLengthAndCodes)
{
    for (bool quick : {false, true}) {
        for (uint32_t seed = 0; seed < 20; ++seed) {
            RandomSource rng = SeededSource(seed);
            const QByteArray filler = RandomString(rng, 20000, 50000, 1, 254, quick);
            ASSERT_GE(filler.size(), 20000);
            ASSERT_LE(filler.size(), 50000);
            EXPECT_FALSE(filler.contains('\0'));
            EXPECT_FALSE(filler.contains('\xFF'));
        }
    }
}

TEST(RandomText, AlphabetWeighsVowelsAboveConsonants)
{
    const QByteArray alphabet = WordAlphabet(false);
    ASSERT_EQ(alphabet.size(), 238);
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const qsizetype count = alphabet.count(letter) + alphabet.count(char(letter - 'a' + 'A'));
        EXPECT_EQ(count, QByteArray("aeiou").contains(letter) ? 14 : 8) << letter;
    }
    EXPECT_EQ(WordAlphabet(true).count(' '), 96);
}

TEST(RandomText, WordsStartUpperCaseAndUseTheAlphabet)
{
    RandomSource rng = SeededSource(7);
    EXPECT_EQ(RandomWord(rng, 0, 0, false, false), QByteArray());
    for (int i = 0; i < 200; ++i) {
        const bool withSpaces = i % 2 == 1;
        const QByteArray word = RandomWord(rng, 3, 12, withSpaces, i % 4 >= 2);
        EXPECT_LE(word.size(), 12);
        if (!withSpaces) {
            EXPECT_GE(word.size(), 3);
        }
        if (word.isEmpty()) // a drawn word of spaces only trims to nothing
            continue;
        EXPECT_TRUE(QRegularExpression("^[A-Z][A-Za-z ]*$").match(QString::fromLatin1(word)).hasMatch())
            << word.toStdString();
        EXPECT_EQ(word, word.trimmed());
    }
}

TEST(RandomText, IntegersStayInRangeAndEvenWhenAsked)
{
    RandomSource rng = SeededSource(3);
    QSet<int> seen;
    for (int i = 0; i < 1000; ++i) {
        const int value = RandomInteger(rng, 1, 10, true);
        EXPECT_EQ(value % 2, 0);
        EXPECT_GE(value, 2);
        EXPECT_LE(value, 10);
        seen.insert(value);
    }
    EXPECT_EQ(seen, (QSet<int>{2, 4, 6, 8, 10}));
}

// ---- File names -----------------------------------------------------------------------------------

TEST(FileName, NameAfterTheLastSeparatorInLowerCase)
{
    struct Case {
        QString path;
        bool lowerCase;
        QString expected;
    };
    const Case cases[] = {
        {"C:\\Data\\Report.PDF", true, "report.pdf"},
        {"C:\\Data\\Report.PDF", false, "Report.PDF"},
        {"/home/ann/ÀÉÎÕÜÇÑ ŠŸ.TXT", true, "àéîõüçñ šÿ.txt"},
        {"C:/mixed\\Dir/Last.Doc", true, "last.doc"},
        {"Notes.TXT", true, "notes.txt"},
        {"C:\\Data\\", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FileNameFromPath(c.path, c.lowerCase), c.expected);
    }
}

// ---- Plain package --------------------------------------------------------------------------------

TEST(PlainPackage, RoundTripsMessageNameAndData)
{
    struct Case {
        const char* title;
        QByteArray message;
        QByteArray name;
        QByteArray payload;
    };
    RandomSource rng = SeededSource(11);
    const Case cases[] = {
        {"no file, filler", "Hello", "", RandomString(rng, 20000, 50000, 1, 254, false)},
        {"non-ASCII message and name", QString("Grüße aus Köln — 東京").toUtf8(), QString("bericht-ä.pdf").toUtf8(),
         QByteArray("\0\x01\xFF binary\r\n", 12)},
        {"empty file", "x", "empty.txt", ""},
        {"longest message", QByteArray(MaxMessageBytes, 'm'), QByteArray(MaxNameBytes, 'n'), "data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const QByteArray package = BuildPlainPackage(c.message, c.name, c.payload);
        ASSERT_FALSE(package.isEmpty());
        EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(QString::fromLatin1(package.right(32))).hasMatch());
        const PlainPackageContent content = ParsePlainPackage(package);
        EXPECT_EQ(content.status, PackageStatus::Ok);
        EXPECT_TRUE(content.checkValueMatches);
        EXPECT_EQ(content.message, c.message);
        EXPECT_EQ(content.name, c.name);
        EXPECT_EQ(content.fileAttached(), !c.name.isEmpty());
        EXPECT_EQ(content.data, c.payload);
    }
}

TEST(PlainPackage, LengthFieldsCountUtf8Bytes)
{
    const QByteArray name = FileNameFromPath("C:\\Data\\Report.PDF", true).toUtf8();
    EXPECT_TRUE(BuildPlainPackage("Seven c", name, "PDF").startsWith("00007Seven c010report.pdfPDF"));
    EXPECT_TRUE(BuildPlainPackage(QString("äöü").toUtf8(), "", "").startsWith("00006"));
    EXPECT_TRUE(BuildPlainPackage("Hi", "", "filler").startsWith("00002Hi000filler"));
    EXPECT_EQ(PlainPackageHead("Hi", "a.txt"), QByteArray("00002Hi005a.txt"));
}

TEST(PlainPackage, FieldsTooLongForTheirDigitsAreRefused)
{
    EXPECT_TRUE(BuildPlainPackage(QByteArray(MaxMessageBytes + 1, 'm'), "", "x").isEmpty());
    EXPECT_TRUE(BuildPlainPackage("m", QByteArray(MaxNameBytes + 1, 'n'), "x").isEmpty());
    EXPECT_TRUE(PlainPackageHead(QByteArray(MaxMessageBytes + 1, 'm'), "").isEmpty());
}

TEST(PlainPackage, ChangedByteFailsTheCheckButKeepsTheFields)
{
    QByteArray package = BuildPlainPackage("Message", "a.bin", "payload bytes");
    package[package.size() - 40] = 'X'; // inside the payload
    const PlainPackageContent content = ParsePlainPackage(package);
    EXPECT_FALSE(content.checkValueMatches);
    EXPECT_EQ(content.status, PackageStatus::Ok);
    EXPECT_EQ(content.message, QByteArray("Message"));

    QByteArray lowerHex = BuildPlainPackage("Message", "", "filler");
    lowerHex.replace(lowerHex.size() - 32, 32, lowerHex.right(32).toLower());
    EXPECT_FALSE(ParsePlainPackage(lowerHex).checkValueMatches);
}

TEST(PlainPackage, DamagedLengthFieldsAreRefused)
{
    struct Case {
        const char* title;
        QByteArray package;
    };
    const Case cases[] = {
        {"letter in message length", WithCheckValue("00a05Hello000")},
        {"sign in message length", WithCheckValue("+0005Hello000")},
        {"colon that reads as ten", WithCheckValue("0000:Hello12345000")},
        {"space in name length", WithCheckValue("00005Hello 05a.txt")},
        {"message past the end", WithCheckValue("99999Hello000")},
        {"name length past the end", WithCheckValue("00005Hello010a.txt")},
        {"no room for the name length", WithCheckValue("00005Hello00")},
        {"shorter than 32 + 8 bytes", WithCheckValue("0000000")},
        {"only a check value", MD5HexOfString("")},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const PlainPackageContent content = ParsePlainPackage(c.package);
        EXPECT_EQ(content.status, PackageStatus::Damaged);
        EXPECT_TRUE(content.message.isEmpty());
        EXPECT_TRUE(content.name.isEmpty());
        EXPECT_TRUE(content.data.isEmpty());
    }
    const QByteArray shortest = WithCheckValue("00000000");
    EXPECT_EQ(ParsePlainPackage(shortest).status, PackageStatus::Ok);
}

// ---- Ciphertext file ------------------------------------------------------------------------------

TEST(CiphertextFile, BodyStartsWhereByteElevenSays)
{
    RandomSource rng = SeededSource(5);
    const QByteArray body = RandomString(rng, 500, 500, 0, 255, false);
    const QByteArray header = MakeFakeZipHeader(rng, body.size());
    const CiphertextSplit split = SplitCiphertextFile(header + body);
    ASSERT_TRUE(split.ok);
    EXPECT_EQ(split.headerLength, header.size());
    EXPECT_EQ(split.body, body);

    const CiphertextHeaderInfo info = DescribeCiphertextHeader(header + body);
    ASSERT_TRUE(info.ok);
    EXPECT_TRUE(info.zipSignature);
    EXPECT_EQ(info.versionNeeded, 20);
    EXPECT_EQ(info.headerLength, header.size());
    EXPECT_EQ(info.name, header.mid(30));
    EXPECT_EQ(info.nameLength, info.name.size());
    EXPECT_GE(info.extraLength, 1);
    EXPECT_GE(info.statedUncompressedSize, 525u);
    EXPECT_LE(info.statedUncompressedSize, 575u);
    EXPECT_EQ(info.bodyLength, body.size());
}

TEST(CiphertextFile, FilesThatCannotHoldTheirHeaderAreRefused)
{
    auto fileWithLengthByte = [](qsizetype size, int h) {
        QByteArray file(size, 'z');
        file[11] = char(h);
        return file;
    };
    struct Case {
        const char* title;
        QByteArray file;
        bool ok;
        qsizetype bodySize;
    };
    const Case cases[] = {
        {"empty", "", false, 0},
        {"11 bytes", QByteArray(11, '\x0B'), false, 0},
        {"header length past the end", fileWithLengthByte(40, 41), false, 0},
        {"header length at 255 in a short file", fileWithLengthByte(100, 255), false, 0},
        {"header fills the whole file", fileWithLengthByte(40, 40), true, 0},
        {"12 bytes, all header", fileWithLengthByte(12, 12), true, 0},
        {"one body byte", fileWithLengthByte(38, 37), true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const CiphertextSplit split = SplitCiphertextFile(c.file);
        EXPECT_EQ(split.ok, c.ok);
        EXPECT_EQ(split.body.size(), c.bodySize);
    }
    EXPECT_FALSE(DescribeCiphertextHeader(fileWithLengthByte(20, 12)).ok); // no room for the fixed part
    EXPECT_FALSE(DescribeCiphertextHeader(fileWithLengthByte(40, 41)).ok);
}

namespace {

// The sender's name: written as it stands, or refused and offered under a derived name.
struct AttachedNameCase {
    const char* label;
    QByteArray sent;
    QString derived; // the name written: the sent name itself when it is safe
    bool safe;
};

const AttachedNameCase AttachedNameCases[] = {
    {"Plain", "report.pdf", "report.pdf", true},
    {"WindowsDeviceNamesAreOrdinaryHere", "aux.c", "aux.c", true},
    {"WindowsDeviceWithoutExtension", "CON", "CON", true},
    {"DriveLikePrefix", "a:b.txt", "a:b.txt", true},
    {"HiddenIsSafeButAsked", ".bashrc", ".bashrc", true},
    {"LongestName", QByteArray(251, 'a') + ".txt", QString(251, 'a') + ".txt", true},
    {"Slash", "sub/evil.txt", "sub_evil.txt", false},
    {"ParentBySlash", "../evil.txt", ".._evil.txt", false},
    {"Absolute", "/tmp/evil.txt", "_tmp_evil.txt", false},
    {"Backslash", "..\\evil.txt", ".._evil.txt", false},
    {"Dot", ".", "_", false},
    {"DotDot", "..", "__", false},
    {"ControlCharacter", "evil\x01.txt", "evil_.txt", false},
    {"LineBreak", "evil\n.txt", "evil_.txt", false},
    {"Delete", "evil\x7F.txt", "evil_.txt", false},
    {"C1Control", "evil\xC2\x85.txt", "evil_.txt", false},
    {"C1ControlSequenceIntroducer",
     "evil\xC2\x9B"
     "2J.txt",
     "evil_2J.txt", false},
    {"RightToLeftOverride", "invoice\xE2\x80\xAEtxt.exe", "invoice_txt.exe", false},
    {"LeftToRightMark", "a\xE2\x80\x8E.txt", "a_.txt", false},
    {"RightToLeftMark", "a\xE2\x80\x8F.txt", "a_.txt", false},
    {"ArabicLetterMark", "a\xD8\x9C.txt", "a_.txt", false},
    {"Isolate", "a\xE2\x81\xA6.txt", "a_.txt", false},
    {"InvalidUtf8", "\xFF.txt", "_.txt", false},
    // Characters that show as nothing, and spaces and dots at the ends: the name would pass for another.
    {"ZeroWidthSpace", "report\xE2\x80\x8B.pdf", "report_.pdf", false},
    {"ZeroWidthJoiner", "report\xE2\x80\x8D.pdf", "report_.pdf", false},
    {"ZeroWidthNonJoiner", "report\xE2\x80\x8C.pdf", "report_.pdf", false},
    {"WordJoiner", "report\xE2\x81\xA0.pdf", "report_.pdf", false},
    // U+FEFF is refused wherever it stands: in front it is a character of the name, not a mark to drop.
    {"ByteOrderMarkInFront", "\xEF\xBB\xBFreport.pdf", "_report.pdf", false},
    {"ByteOrderMarkAlone", "\xEF\xBB\xBF", "_", false},
    {"ByteOrderMarkInside", "re\xEF\xBB\xBFport.pdf", "re_port.pdf", false},
    {"SoftHyphen", "re\xC2\xADport.pdf", "re_port.pdf", false},
    {"CombiningGraphemeJoiner", "report\xCD\x8F.pdf", "report_.pdf", false},
    {"HangulFillerAlone", "\xE3\x85\xA4", "_", false},
    {"HalfwidthHangulFiller", "a\xEF\xBE\xA0.txt", "a_.txt", false},
    {"TagCharacter", "report\xF3\xA0\x81\x81.pdf", "report_.pdf", false},
    {"VariationSelector", "report\xEF\xB8\x8F.pdf", "report_.pdf", false},
    {"LineSeparator", "a\xE2\x80\xA8.txt", "a_.txt", false},
    {"TrailingSpace", "report.pdf ", "report.pdf_", false},
    {"LeadingSpace", " report.pdf", "_report.pdf", false},
    {"TrailingDot", "report.pdf.", "report.pdf_", false},
    {"TrailingDotAndSpace", "x.txt. ", "x.txt__", false},
    {"TrailingNoBreakSpaceAndDot", "report.pdf\xC2\xA0.", "report.pdf__", false},
    {"SpacesInsideStand", "my  report.pdf", "my  report.pdf", true},
    {"DotsInsideStand", "v1.2..final.tar.gz", "v1.2..final.tar.gz", true},
    {"ArabicNumberSignIsVisible",
     "\xD8\x80"
     "12.txt",
     "\u0600"
     "12.txt",
     true},
    {"OverlongSlash",
     "..\xC0\xAF"
     "evil",
     QString(), false}, // each invalid byte becomes "_"
    {"Over255Bytes", QByteArray(252, 'a') + ".txt", QString(251, 'a') + ".txt", false},
};

class AttachedNameTest : public ::testing::TestWithParam<AttachedNameCase> {};

TEST_P(AttachedNameTest, SafeNamesStandAndOthersGetASafeDerivedName)
{
    const AttachedNameCase& c = GetParam();
    EXPECT_EQ(SafeAttachedFileName(c.sent).isEmpty(), !c.safe);
    const QString derived = DerivedAttachedFileName(c.sent);
    if (!c.derived.isEmpty()) {
        EXPECT_EQ(derived, c.derived);
    }
    // Whatever was sent, the derived name is one safe component the user can read.
    EXPECT_EQ(SafeAttachedFileName(derived.toUtf8()), derived);
    EXPECT_FALSE(derived.contains('/'));
}

INSTANTIATE_TEST_SUITE_P(Names, AttachedNameTest, ::testing::ValuesIn(AttachedNameCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(AttachedName, OnlyADotAtTheStartHidesAFile)
{
    EXPECT_TRUE(IsHiddenFileName(".profile"));
    EXPECT_FALSE(IsHiddenFileName("a.profile"));
}

// The Windows rules, kept for a Windows build: tested here though Linux does not apply them.
TEST(WindowsFileNames, ReservedDevicesAndDrivePrefixes)
{
    for (const char* name : {"CON", "con.txt", "Aux.c", "nul", "PRN.log", "COM1", "lpt9.tar.gz", "C:evil", "a:b.txt"})
        EXPECT_TRUE(WindowsFileNames::IsRefusedOnWindows(name)) << name;
    for (const char* name : {"com10.txt", "console.log", "LPT0", "auxiliary", "1:x", "report.pdf"})
        EXPECT_FALSE(WindowsFileNames::IsRefusedOnWindows(name)) << name;
}

} // namespace
