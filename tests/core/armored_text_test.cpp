// The armored text form: what the writer produces, and what the reader accepts and refuses.
#include "format/ArmoredText.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>(i * 37 + 11));
    return bytes;
}

TEST(ArmoredText, WriterMakesBeginLineBase64LinesOf64AndEndLine)
{
    const QByteArray file = Bytes(200); // 268 Base64 characters: four full lines and one of 12
    const QList<QByteArray> lines = Armor::Encode(file).split('\n');
    ASSERT_EQ(lines.size(), 8); // begin, 5 lines, end, and the empty piece after the last LF
    EXPECT_EQ(lines[0], "-----BEGIN QUILLET MESSAGE-----");
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(lines[i].size(), 64) << i;
    EXPECT_EQ(lines[5].size(), 268 - 4 * 64);
    EXPECT_EQ(lines[6], "-----END QUILLET MESSAGE-----");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(QByteArray::fromBase64(lines.mid(1, 5).join()), file);
}

TEST(ArmoredText, SizeIsKnownWithoutEncoding)
{
    for (const int size : {0, 1, 2, 3, 47, 48, 49, 50, 1000})
        EXPECT_EQ(Armor::EncodedSize(size), Armor::Encode(Bytes(size)).size()) << size;
}

TEST(ArmoredText, EverySizeComesBackByteForByte)
{
    for (const int size : {1, 2, 3, 47, 48, 49, 50, 1000}) {
        const QByteArray file = Bytes(size);
        const Armor::Decoded decoded = Armor::Decode(Armor::Encode(file));
        EXPECT_EQ(decoded.found, Armor::Found::Ok) << size;
        EXPECT_EQ(decoded.ciphertextFile, file) << size;
    }
}

struct ReadCase {
    const char* name;
    QByteArray text;
    Armor::Found found;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ArmoredTextRead : public ::testing::TestWithParam<ReadCase> {};

// File() is 100 bytes: Base64 of 136 characters, two lines of 64 and one of 8 with "=" padding.
QByteArray File()
{
    return Bytes(100);
}

QByteArray Armored()
{
    return Armor::Encode(File());
}

QByteArray Lines(const QByteArray& body)
{
    return QByteArray(Armor::BeginLine) + "\n" + body + "\n" + Armor::EndLine + "\n";
}

QByteArray Replace(QByteArray text, const QByteArray& from, const QByteArray& to)
{
    return text.replace(from, to);
}

TEST_P(ArmoredTextRead, FindsOrRefusesTheBlock)
{
    const ReadCase& c = GetParam();
    const Armor::Decoded decoded = Armor::Decode(c.text);
    EXPECT_EQ(decoded.found, c.found);
    if (c.found == Armor::Found::Ok)
        EXPECT_EQ(decoded.ciphertextFile, File());
    else
        EXPECT_TRUE(decoded.ciphertextFile.isEmpty());
}

const QByteArray Base64 = File().toBase64();

// The block inside a saved e-mail whose text part is quoted-printable: every "=" written "=3D"
// (hex in the given case), and a line broken by a soft line break "=" at its end.
QByteArray QuotedPrintableMail(const QByteArray& equalsSign, const QByteArray& body = Base64)
{
    const QByteArray encoded = Replace(body, "=", equalsSign);
    return "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
           "Gr=C3=BC=C3=9Fe,\r\n\r\n" +
           Replace(Lines(encoded.left(30) + "=\r\n" + encoded.mid(30)), "\n", "\r\n");
}

const ReadCase ReadCases[] = {
    {"AsWritten", Armored(), Armor::Found::Ok},
    {"CrLfLineEnds", Replace(Armored(), "\n", "\r\n"), Armor::Found::Ok},
    {"ReWrappedAndIndented", "  " + Replace(Lines(Base64.left(70) + "\n\t" + Base64.mid(70)), "\n", "\n   "),
     Armor::Found::Ok},
    {"SpacesInsideALine", Lines(Base64.left(10) + "  " + Base64.mid(10)), Armor::Found::Ok},
    {"TabFormFeedVerticalTabInsideALine", Lines(Base64.left(10) + "\t\f\v" + Base64.mid(10)), Armor::Found::Ok},
    // White space is ASCII white space: another Unicode space is a foreign character, and a marker
    // line followed by one is not a marker line.
    {"EmSpaceInsideALine", Lines(Base64.left(10) + "\xE2\x80\x83" + Base64.mid(10)), Armor::Found::Damaged},
    {"EmSpaceAfterTheBeginLine", Replace(Armored(), "-----\n", "-----\xE2\x80\x83\n"), Armor::Found::NoBlock},
    {"QuotedReply", "> " + Replace(Armored(), "\n", "\n> "), Armor::Found::Ok},
    {"QuotedTwice", ">> " + Replace(Armored(), "\n", "\n> > "), Armor::Found::Ok},
    {"InsideALetter", "Dear Anna,\n\nsee below.\n\n" + Armored() + "\n-- \nBen\n", Armor::Found::Ok},
    // As mail programs deliver it.
    {"CrOnlyLineEnds", Replace(Armored(), "\n", "\r"), Armor::Found::Ok},
    {"ByteOrderMarkInFront", "\xEF\xBB\xBF" + Armored(), Armor::Found::Ok},
    {"IndentedByNoBreakSpaces", "\xC2\xA0\xC2\xA0" + Replace(Armored(), "\n", "\n\xC2\xA0\xC2\xA0"), Armor::Found::Ok},
    {"IndentedByLatin1NoBreakSpaces", "\xA0" + Replace(Armored(), "\n", "\n\xA0"), Armor::Found::Ok},
    {"QuotedPrintable", QuotedPrintableMail("=3D"), Armor::Found::Ok},
    {"QuotedPrintableInLowerCase", QuotedPrintableMail("=3d"), Armor::Found::Ok},
    {"QuotedPrintableSoftBreakFollowedBySpaces", Replace(QuotedPrintableMail("=3D"), "=\r\n", "=  \r\n"),
     Armor::Found::Ok},
    {"QuotedPrintableWithAForeignCharacter", QuotedPrintableMail("=3D", Base64.left(20) + "!" + Base64.mid(20)),
     Armor::Found::Damaged},
    {"QuotedPrintableWithTwoBlocks", QuotedPrintableMail("=3D") + QuotedPrintableMail("=3D"), Armor::Found::TwoBlocks},
    {"NoBlock", "Dear Anna, nothing to see here.\n", Armor::Found::NoBlock},
    {"EndLineOnly", QByteArray(Armor::EndLine) + "\n", Armor::Found::NoBlock},
    {"BeginLineInsideText", "Write -----BEGIN QUILLET MESSAGE----- on a line of its own.\n", Armor::Found::NoBlock},
    {"ForeignCharacter", Lines(Base64.left(20) + "!" + Base64.mid(20)), Armor::Found::Damaged},
    {"TextBetweenTheLines", Lines(Base64.left(64) + "\nhello\n" + Base64.mid(64)), Armor::Found::Damaged},
    {"QuoteMarkInsideALine", Lines(Base64.left(20) + ">" + Base64.mid(20)), Armor::Found::Damaged},
    {"PaddingMissing", Lines(Replace(Base64, "=", "")), Armor::Found::Damaged},
    {"PaddingInTheMiddle", Lines(Base64.left(8) + "=" + Base64.mid(9)), Armor::Found::Damaged},
    // "Wg==" ends the Base64; "Wh==" gives the same bytes to a lenient reader.
    {"StrayBitsBeforePadding", Lines(Base64.left(Base64.size() - 3) + "h=="), Armor::Found::Damaged},
    {"NothingInside", Lines({}), Armor::Found::Damaged},
    {"URLSafeAlphabet", Lines(Replace(Replace(Base64, "+", "-"), "/", "_")), Armor::Found::Damaged},
    {"EndLineMissing", Armored().left(Armored().indexOf(Armor::EndLine)), Armor::Found::Unended},
    {"TwoBlocks", Armored() + "\n" + Armored(), Armor::Found::TwoBlocks},
    {"SecondBlockCutShort", Armored() + QByteArray(Armor::BeginLine) + "\nAAAA\n", Armor::Found::TwoBlocks},
};

INSTANTIATE_TEST_SUITE_P(Cases, ArmoredTextRead, ::testing::ValuesIn(ReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ArmoredText, BinaryFileIsToldFromText)
{
    EXPECT_TRUE(Armor::LooksBinary(QByteArray("PK\x03\x04rest", 8)));
    EXPECT_FALSE(Armor::LooksBinary(Armored()));
    EXPECT_FALSE(Armor::LooksBinary("PK"));
}

} // namespace
