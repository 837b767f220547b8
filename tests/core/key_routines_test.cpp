#include "keys/KeyRoutines.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

// zlib's table-driven crc32 over the low byte of every character.
uint32_t ZlibCrc(const QString& text)
{
    QByteArray bytes;
    for (QChar character : text)
        bytes.append(static_cast<char>(character.unicode() & 0xFF));
    return static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uInt>(bytes.size())));
}

QString ZlibHex(uint32_t crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

QString RandomLatin1(QRandomGenerator& random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar(static_cast<char16_t>(random.bounded(256))));
    return text;
}

} // namespace

TEST(CRC32Hex, AgreesWithZlibOnRandomLatin1Strings)
{
    QRandomGenerator random(20240611);
    for (int i = 0; i < 2000; ++i) {
        const QString text = RandomLatin1(random, random.bounded(0, 80));
        ASSERT_EQ(CRC::CRC32Hex(text), ZlibHex(ZlibCrc(text))) << "string " << i;
    }
}

TEST(CRC32Hex, KnownValues)
{
    EXPECT_EQ(CRC::CRC32Hex(QStringLiteral("123456789")), QStringLiteral("CBF43926"));
    EXPECT_EQ(CRC::CRC32Hex(QString()), QStringLiteral("00000000"));
    // Outside Latin-1 only the low byte of the code unit counts: U+0141 contributes 0x41 ("A").
    EXPECT_EQ(CRC::CRC32Hex(QStringLiteral(u"\u0141BC")), CRC::CRC32Hex(QStringLiteral("ABC")));
}

TEST(CRC32Hex, SmallCrcKeepsItsLeadingZeros)
{
    QRandomGenerator random(7);
    QString text;
    do {
        text = RandomLatin1(random, 6);
    } while (ZlibCrc(text) >= 0x10000000u);
    const QString hex = CRC::CRC32Hex(text);
    EXPECT_EQ(hex.size(), 8);
    EXPECT_TRUE(hex.startsWith(QLatin1Char('0'))) << hex.toStdString();
    EXPECT_EQ(hex, ZlibHex(ZlibCrc(text)));
}

struct KeyCase {
    const char16_t* typed;
    const char16_t* normalized;
    int checksum; // 0: not checked here
};

class KeyNormalization : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyNormalization, KeepsSignificantCharactersInUpperCase)
{
    const KeyCase& c = GetParam();
    const QString typed = QString::fromUtf16(c.typed);
    EXPECT_EQ(Keys::NormalizeKey(typed), QString::fromUtf16(c.normalized));
    EXPECT_EQ(Keys::SignificantLength(typed), QString::fromUtf16(c.normalized).size());
    if (c.checksum != 0) {
        EXPECT_EQ(Keys::KeyChecksum(typed), c.checksum);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyNormalization,
                         ::testing::Values(KeyCase{u"", u"", 1000}, KeyCase{u"abc", u"ABC", 6032},
                                           KeyCase{u"a b c", u"ABC", 6032}, KeyCase{u"a b\tc", u"ABC", 6032},
                                           KeyCase{u"A\r\nb\x01"
                                                   "C",
                                                   u"ABC", 6032},
                                           KeyCase{u"123456789", u"123456789", 8034},
                                           // The en dash (U+2013) has the low byte 0x13: not significant.
                                           KeyCase{u"a\u2013b", u"AB", 0},
                                           KeyCase{u"stra\u00dfe \u00e9t\u00e9", u"STRASSE\u00c9T\u00c9", 0}));

TEST(KeyChecksum, CaseAndSpacesDoNotChangeIt)
{
    EXPECT_EQ(Keys::KeyChecksum(QStringLiteral("Correct Horse Battery Staple")),
              Keys::KeyChecksum(QStringLiteral("  correcthorse\tBATTERY   staple ")));
}

TEST(KeyChecksum, SignedCrcArithmetic)
{
    struct {
        uint32_t crc;
        int checksum;
    } const cases[] = {
        {0x00000000u, 1000}, {0x80000000u, 3648}, // 2147483648 mod 9000 = 2648, without overflow
        {0x7FFFFFFFu, 3647},                      // 2147483647 mod 9000 = 2647
        {0xFFFFFFFFu, 1001},                      // -1
        {0xA3830348u, 6032},                      // CRC of "ABC", negative as a signed value
    };
    for (const auto& c : cases)
        EXPECT_EQ(Keys::ChecksumFromCrc(c.crc), c.checksum) << std::hex << c.crc;
}

TEST(KeyChecksum, AlwaysFourDigits)
{
    QRandomGenerator random(99);
    for (int i = 0; i < 5000; ++i) {
        const int checksum = Keys::KeyChecksum(RandomLatin1(random, random.bounded(16, 65)));
        ASSERT_GE(checksum, 1000);
        ASSERT_LE(checksum, 9999);
    }
}

TEST(MakeEngineKey, RepeatsTheNormalizedKeyToSixtyFourCharacters)
{
    const QString sixteen = QStringLiteral("abcd efgh ijkl mnop");
    EXPECT_EQ(Keys::MakeEngineKey(sixteen), QStringLiteral("ABCDEFGHIJKLMNOP").repeated(4));

    const QString twenty = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(Keys::MakeEngineKey(twenty.toLower()), twenty + twenty + twenty + twenty.left(4));

    const QString sixtyFour = QStringLiteral("0123456789ABCDEF").repeated(4);
    EXPECT_EQ(Keys::MakeEngineKey(sixtyFour), sixtyFour);
}

TEST(MakeEngineKey, NoKeyGivesNoEngineKey)
{
    EXPECT_EQ(Keys::MakeEngineKey(QString()), QString());
    // Nothing significant to repeat: must not loop forever.
    EXPECT_EQ(Keys::MakeEngineKey(QStringLiteral("   \t ")), QString());
}

TEST(PrepareAcceptedKey, TrimsAndFoldsRunsOfSpaces)
{
    struct {
        const char* typed;
        const char* accepted;
    } const cases[] = {
        {"   two   words   ", "two words"}, {"a  b   c    d", "a b c d"},
        {"already clean", "already clean"}, {"      ", ""},
        {"tab\t\tstays", "tab\t\tstays"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Keys::PrepareAcceptedKey(QString::fromLatin1(c.typed)), QString::fromLatin1(c.accepted)) << c.typed;
}

TEST(WipeString, EmptiesTheStringAndLeavesOtherHoldersIntact)
{
    const QString original = QStringLiteral("secret key material 0123456789");
    QString shared = original;
    QString holder = shared; // shares the same data
    Keys::WipeString(shared);
    EXPECT_TRUE(shared.isEmpty());
    EXPECT_EQ(holder, original);

    Keys::WipeString(holder);
    EXPECT_TRUE(holder.isEmpty());
}
