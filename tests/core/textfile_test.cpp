// The text-file test, the text reader, the viewer's cutting rule and the byte-size wording.
#include "files/IsTextFileFns.h"
#include "files/PathText.h"
#include "files/TextFileReader.h"
#include "support/TestFiles.h"
#include "texts/ByteSize.h"
#include "texts/ViewerText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TextFileTest : public ::testing::Test {
  protected:
    QString writeFixture(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test_files::write_file(path, bytes)) << path.toStdString();
        return path;
    }

    struct Verdict {
        qint16 code = 99;
        uchar firstBad = 0;
        qint32 firstBadPos = -1;
        double percent = -1.0;
        bool isUtf8 = false;
    };

    // As the load command asks: 16384 bytes at most, 1 percent tolerated, charset search allowed.
    static Verdict judge(const QString& path)
    {
        Verdict v;
        v.code = IsTextFile(path, 16384, v.firstBad, v.firstBadPos, 1.0, v.percent, v.isUtf8, true);
        return v;
    }

    QTemporaryDir dir;
};

struct ContentCase {
    const char* label;
    const char* fileName;
    QByteArray bytes;
    qint16 code;
    bool isUtf8;
};

TEST_F(TextFileTest, ClassifiesFilesByTheirContent)
{
    const QByteArray html = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=\"UTF-8\"\">"
                            "</head><body>\xc3\xa4</body></html>\n";
    const ContentCase cases[] = {
        {"empty", "empty.txt", "", TextFileCode::Empty, false},
        {"one byte", "one.txt", "a", TextFileCode::TooShort, false},
        {"four bytes", "four.txt", "abcd", TextFileCode::TooShort, false},
        {"rich text, any extension", "letter.dat", "{\\rtf1\\ansi hello}", TextFileCode::RichText, false},
        {"UTF-16 LE with mark", "wide.txt", QByteArray("\xFF\xFEh\0i\0", 6), TextFileCode::WideUnicode, false},
        {"UTF-16 BE with mark", "wide2.txt", QByteArray("\xFE\xFF\0h\0i", 6), TextFileCode::WideUnicode, false},
        {"UTF-32 BE with mark", "wide4.txt", QByteArray("\0\0\xFE\xFF\0\0\0h", 8), TextFileCode::WideUnicode, false},
        {"UTF-8 with mark", "mark.dat",
         "\xEF\xBB\xBFGr\xC3\xBC\xC3\x9F"
         "e\r\n",
         TextFileCode::TextCrLf, true},
        {"html declaring charset=\"UTF-8\"", "page.html", html, TextFileCode::TextCrLf, true},
        {"htm declaring charset=UTF-8", "page.htm", "<meta charset=UTF-8>\n<p>x</p>\n", TextFileCode::TextCrLf, true},
        {"charset declaration ignored outside text types", "page.dat", html, TextFileCode::TextLf, false},
        {"lower-case charset not a declaration", "page.html", "<meta charset=utf-8>\n", TextFileCode::TextLf, false},
        {"xml starting with <", "data.xml", "<?xml version=\"1.0\"?>\n<a/>\n", TextFileCode::TextCrLf, true},
        {"CR LF line ends", "crlf.txt", "first\r\nsecond\r\n", TextFileCode::TextCrLf, false},
        {"LF line ends", "lf.txt", "first\nsecond\n", TextFileCode::TextLf, false},
        {"CR line ends", "cr.txt", "first\rsecond\r", TextFileCode::TextCr, false},
        {"no line ends", "none.txt", "one single line", TextFileCode::TextCrLf, false},
    };
    for (const ContentCase& c : cases) {
        SCOPED_TRACE(c.label);
        const Verdict v = judge(writeFixture(c.fileName, c.bytes));
        EXPECT_EQ(v.code, c.code);
        EXPECT_EQ(v.isUtf8, c.isUtf8);
    }
}

TEST_F(TextFileTest, RefusesMissingFilesAndEmptyPaths)
{
    EXPECT_EQ(judge(dir.filePath("absent.txt")).code, TextFileCode::Missing);
    EXPECT_EQ(judge(dir.path()).code, TextFileCode::Missing); // a folder is no file
    EXPECT_EQ(judge(QString()).code, TextFileCode::NoPath);
}

TEST_F(TextFileTest, TabsFormFeedsAndBackspacesNeverCount)
{
    const Verdict v = judge(writeFixture("layout.txt", QByteArray("col\tcol\fpage\bx\r\n").repeated(50)));
    EXPECT_EQ(v.code, TextFileCode::TextCrLf);
    EXPECT_EQ(v.percent, 0.0);
    EXPECT_EQ(v.firstBad, ' ');
    EXPECT_EQ(v.firstBadPos, 0);
}

TEST_F(TextFileTest, ShortFileIsJudgedOnAllItsBytesAgainstTheToleratedShare)
{
    // 100 bytes: one control character is exactly 1 percent (tolerated), two are too many.
    QByteArray oneBad(100, 'a');
    oneBad[40] = '\x01';
    QByteArray twoBad = oneBad;
    twoBad[70] = '\x1B';

    const Verdict tolerated = judge(writeFixture("one.txt", oneBad));
    EXPECT_EQ(tolerated.code, TextFileCode::TextCrLf);
    EXPECT_DOUBLE_EQ(tolerated.percent, 1.0);
    EXPECT_EQ(tolerated.firstBad, 0x01);
    EXPECT_EQ(tolerated.firstBadPos, 41);

    const Verdict refused = judge(writeFixture("two.txt", twoBad));
    EXPECT_EQ(refused.code, TextFileCode::NotText);
    EXPECT_DOUBLE_EQ(refused.percent, 2.0);
    EXPECT_EQ(refused.firstBadPos, 41);
}

TEST_F(TextFileTest, BinaryFileIsRefusedAfterTheFirstFifthWithoutLookingFurther)
{
    // The first 3277 bytes hold 328 control characters (just above 10 percent); everything after is
    // control characters too. Judged at byte 3277, the share found is exactly 328 / 3277.
    QByteArray binary(3277, 'x');
    binary.replace(0, 328, QByteArray(328, '\x02'));
    binary += QByteArray(20000, '\x03');
    const Verdict early = judge(writeFixture("binary.bin", binary));
    EXPECT_EQ(early.code, TextFileCode::NotText);
    EXPECT_DOUBLE_EQ(early.percent, 328 * 100.0 / 3277);
    EXPECT_EQ(early.firstBad, 0x02);
    EXPECT_EQ(early.firstBadPos, 1);

    // One fewer stays at or below 10 percent at byte 3277, so the scan runs over all 16384 bytes.
    QByteArray mostlyText(16384 + 5000, 'x');
    mostlyText.replace(0, 327, QByteArray(327, '\x02'));
    const Verdict full = judge(writeFixture("mostly.txt", mostlyText));
    EXPECT_EQ(full.code, TextFileCode::NotText);
    EXPECT_DOUBLE_EQ(full.percent, 327 * 100.0 / 16384);
}

TEST(TextFileMessage, RefusalsMapToTheirProgramTexts)
{
    const std::pair<qint16, int> cases[] = {
        {TextFileCode::TextCrLf, 0},  {TextFileCode::TextLf, 0},       {TextFileCode::TextCr, 0},
        {TextFileCode::NotText, 395}, {TextFileCode::RichText, 398},   {TextFileCode::WideUnicode, 392},
        {TextFileCode::Missing, 397}, {TextFileCode::Empty, 393},      {TextFileCode::TooShort, 393},
        {TextFileCode::NoPath, 111},  {TextFileCode::Unreadable, 397},
    };
    for (const auto& [code, number] : cases)
        EXPECT_EQ(TextFileMessageNumber(code), number) << "code " << code;
}

TEST(TextTypeExtension, KnowsTheTextTypesInAnyCase)
{
    for (const char* path :
         {"a.txt", "b.LOG", "c/d.Html", "e.htm", "f.xhtml", "g.xhtm", "h.shtml", "i.shtm", "j.xml", "k.csv", "l.prn"})
        EXPECT_TRUE(IsTextTypeExtension(path)) << path;
    for (const char* path : {"a.doc", "b.txt.gz", "txt", "dir.txt/file", ""})
        EXPECT_FALSE(IsTextTypeExtension(path)) << path;
}

TEST(FileExtensionOfPath, TakesTheLastComponentOnly)
{
    struct Case {
        const char* path;
        bool lowerCase;
        const char* extension;
    };
    const Case cases[] = {
        {"C:\\Data\\Report.PDF", false, "PDF"},
        {"C:\\Data\\Report.PDF", true, "pdf"},
        {"/home/a.b/readme", true, ""},
        {"archive.tar.GZ", true, "gz"},
        {"C:\\v1.2\\name", true, ""},
        {"notes.", true, ""},
        {"/x/\xC3\x9C"
         "BER.\xC3\x84\xC3\x96",
         true, "\xC3\xA4\xC3\xB6"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileExtension(QString::fromUtf8(c.path), c.lowerCase), QString::fromUtf8(c.extension)) << c.path;
}

TEST(TextReader, DecodesUtf8AndFallsBackToWindows1252WithLineBreaksNormalised)
{
    struct Case {
        const char* label;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"UTF-8 letters",
         "Gr\xC3\xBC\xC3\x9F"
         "e, M\xC3\xA4rz",
         QString::fromUtf8("Grüße, März")},
        {"UTF-8 mark dropped",
         "\xEF\xBB\xBF"
         "abc",
         "abc"},
        {"Latin-1 after a mark that lies",
         "\xEF\xBB\xBF"
         "Gr\xFC\xDF"
         "e",
         QString::fromUtf8("Grüße")},
        {"Latin-1 when not UTF-8",
         "Gr\xFC\xDF"
         "e",
         QString::fromUtf8("Grüße")},
        {"Windows-1252 euro, quotes and dash", "\x80 5 \x96 \x84gut\x93 \x91ok\x92",
         QString::fromUtf8("€ 5 – „gut“ ‘ok’")},
        {"Windows-1252 unassigned bytes keep their code", "a\x81\x8D\x8F\x90\x9Dz",
         QStringLiteral("a\u0081\u008D\u008F\u0090\u009Dz")},
        {"CR LF, CR and LF become line breaks", "a\r\nb\rc\nd\r\n\r\ne", "a\nb\nc\nd\n\ne"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeTextBytes(c.bytes), c.text) << c.label;
}

TEST(TextReader, ReportsAnUnreadableFileByErrorText)
{
    QTemporaryDir dir;
    QString text = "stale";
    const QString error = ReadFileAsText(dir.filePath("absent.txt"), text);
    EXPECT_TRUE(error.contains("absent.txt")) << error.toStdString();
    EXPECT_TRUE(text.isEmpty());

    QFile file(dir.filePath("present.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("line one\r\nline two\r\n");
    file.close();
    EXPECT_EQ(ReadFileAsText(file.fileName(), text), QString());
    EXPECT_EQ(text, "line one\nline two\n");
}

TEST(ViewerCut, ShowsShortTextsWholeAndFramesLongOnesInExactly65534Characters)
{
    const QString fits(ViewerDisplayLimit - 1, u'a');
    EXPECT_EQ(FitTextForViewer(fits), fits);

    for (qsizetype length : {ViewerDisplayLimit, ViewerDisplayLimit + 100000}) {
        QString text;
        for (qsizetype i = 0; i < length; ++i)
            text += QChar(char16_t(u'a' + i % 26));
        const QString shown = FitTextForViewer(text);
        EXPECT_EQ(shown.size(), 65534);
        EXPECT_TRUE(shown.startsWith("NOTE: This file is too large to display entirely in this textbox.\r\n"
                                     "To view the entire contents of the file, open it in a text editor.\r\n"
                                     "\r\nabcdefg"));
        EXPECT_TRUE(shown.endsWith("\r\n\r\nNOTE: Entire contents of file have not been displayed.\r\n"));
        const qsizetype kept = 65534 - ViewerHeadNote().size() - ViewerTailNote().size() - 4;
        EXPECT_EQ(shown.mid(ViewerHeadNote().size(), kept), text.left(kept));
    }
}

TEST(ByteSizeText, NamesBytesKilobytesAndMegabytes)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        qint64 n;
        const QLocale& locale;
        const char* text;
    };
    const Case cases[] = {
        {-1, english, ""},
        {0, english, "0 bytes"},
        {1, english, "1 bytes"},
        {1023, english, "1023 bytes"},
        {1024, english, "1.00 KB"},
        {512, german, "512 Bytes"},
        {1536, german, "1,50 KB"},
        {1048575, english, "1,024.00 KB"},
        {1048576, english, "1.00 MB"},
        {2144392, english, "2.05 MB"},
        {5000LL * 1048576, german, "5.000,00 MB"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatByteSize(c.n, 2, c.locale), QString::fromUtf8(c.text)) << c.n;
}

// The help text's own shapes: paragraphs, numbered and dashed items with their hanging lines, a
// heading and its underline, a term above its indented explanation; each paragraph one line.
TEST(ViewerFlow, HardWrappedParagraphsBecomeOneLineEachAndTheLayoutStays)
{
    const QString text = QStringLiteral("3. SENDING\r\n"
                                        "----------\r\n"
                                        "\r\n"
                                        "1. Choose the\r\n"
                                        "   key.\r\n"
                                        "2. Type the\r\n"
                                        "   message.\r\n"
                                        "After encrypting you can\r\n"
                                        "look at the report.\r\n"
                                        "\r\n"
                                        "Protected:\r\n"
                                        "- The message and\r\n"
                                        "  the file.\r\n"
                                        "- Temporary files.\r\n"
                                        "Decryption fails\r\n"
                                        "    Quillet checks every\r\n"
                                        "    byte.\r\n"
                                        "8. ABOUT\r\n"
                                        "--------\r\n"
                                        "Quillet 1.0.0, by\r\n"
                                        "Tavolan.\r\n");
    EXPECT_EQ(FlowParagraphs(text), QStringLiteral("3. SENDING\n"
                                                   "----------\n"
                                                   "\n"
                                                   "1. Choose the key.\n"
                                                   "2. Type the message.\n"
                                                   "After encrypting you can look at the report.\n"
                                                   "\n"
                                                   "Protected:\n"
                                                   "- The message and the file.\n"
                                                   "- Temporary files.\n"
                                                   "Decryption fails\n"
                                                   "    Quillet checks every byte.\n"
                                                   "8. ABOUT\n"
                                                   "--------\n"
                                                   "Quillet 1.0.0, by Tavolan.\n"));
}

} // namespace
