#include "keys/KeyRoutines.h"

#include <QRandomGenerator>
#include <QSet>

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
    // Characters, not UTF-16 units: an emoji counts once.
    EXPECT_EQ(Keys::SignificantLength(typed), QString::fromUtf16(c.normalized).toUcs4().size());
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
                                           // Significance is decided by the code point, not by the low
                                           // byte of a UTF-16 unit: the en dash (U+2013) counts, and so
                                           // do Cyrillic capitals (U+0410...) and a whole emoji.
                                           KeyCase{u"a\u2013b", u"A\u2013B", 0},
                                           KeyCase{u"\u0430\u0431 \u0432", u"\u0410\u0411\u0412", 0},
                                           KeyCase{u"\U0001F600 \U0001F601", u"\U0001F600\U0001F601", 0},
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
    EXPECT_EQ(Keys::MakeEngineKey(sixteen), QByteArray("ABCDEFGHIJKLMNOP").repeated(4));

    const QByteArray twenty = "ABCDEFGHIJKLMNOPQRST";
    EXPECT_EQ(Keys::MakeEngineKey(QString::fromLatin1(twenty.toLower())), twenty + twenty + twenty + twenty.left(4));

    const QByteArray sixtyFour = QByteArray("0123456789ABCDEF").repeated(4);
    EXPECT_EQ(Keys::MakeEngineKey(QString::fromLatin1(sixtyFour)), sixtyFour);
}

TEST(MakeEngineKey, NoKeyGivesNoEngineKey)
{
    EXPECT_TRUE(Keys::MakeEngineKey(QString()).isEmpty());
    // Nothing significant to repeat: must not loop forever.
    EXPECT_TRUE(Keys::MakeEngineKey(QStringLiteral("   \t ")).isEmpty());
}

// Every key a Western keyboard types (Latin-1) keeps the engine key and the checksum it had when a
// character was a UTF-16 unit: the values below were computed with that code, before characters
// became code points, from these keys (given as Latin-1 bytes in hexadecimal). The last eight are
// random Latin-1 strings with control characters, spaces and every accented letter.
TEST(MakeEngineKey, Latin1KeysKeepTheirEngineKeyAndChecksum)
{
    struct {
        const char* latin1Hex;
        const char* engineKeyHex;
        int checksum;
        int significant;
    } const cases[] = {
        {"436f727265637420486f727365204261747465727920537461706c65",
         "434f5252454354484f52534542415454455259535441504c45434f5252454354484f52534542415454455259535441504c45434f52524"
         "54354484f5253454241",
         9527, 25},
        {"2020636f727265637420686f7273650962617474657279202020737461706c6520343220",
         "434f5252454354484f52534542415454455259535441504c453432434f5252454354484f52534542415454455259535441504c4534324"
         "34f5252454354484f52",
         1153, 27},
        {"30313233343536373839616263646566",
         "3031323334353637383941424344454630313233343536373839414243444546303132333435363738394142434445463031323334353"
         "6373839414243444546",
         6043, 16},
        {"54686520717569636b2062726f776e20666f78206a756d7073206f76657220746865206c617a7920646f6720313233343536373839302"
         "1402324255e262a2829",
         "544845515549434b42524f574e464f584a554d50534f5645525448454c415a59444f473132333435363738393021402324255e262a282"
         "9544845515549434b42",
         3475, 55},
        {"4772fcdf6520617573204bf66c6e2c206de4646368656e21",
         "4752c39c5353454155534bc3964c4e2c4dc384444348454e214752c39c5353454155534bc3964c4e2c4dc384444348454e214752c39c5"
         "353454155534bc3964c4e2c4dc38444434845",
         8539, 22},
        {"ffffffffffffffffffffffffffffffff",
         "c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c"
         "5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5"
         "b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8c5b8",
         4305, 16},
        {"b5b5b5b5b5b5b5b5b5b5b5b5b5b5b5b5",
         "ce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cc"
         "e9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce9cce"
         "9cce9cce9cce9cce9cce9cce9cce9cce9cce9c",
         2649, 16},
        {"dfdfdfdfdfdfdfdf",
         "5353535353535353535353535353535353535353535353535353535353535353535353535353535353535353535353535353535353535"
         "3535353535353535353",
         8889, 16},
        {"a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf",
         "c2a0c2a1c2a2c2a3c2a4c2a5c2a6c2a7c2a8c2a9c2aac2abc2acc2adc2aec2afc2b0c2b1c2b2c2b3c2b4ce9cc2b6c2b7c2b8c2b9c2bac"
         "2bbc2bcc2bdc2bec2bfc2a0c2a1c2a2c2a3c2a4c2a5c2a6c2a7c2a8c2a9c2aac2abc2acc2adc2aec2afc2b0c2b1c2b2c2b3c2b4ce9cc2"
         "b6c2b7c2b8c2b9c2bac2bbc2bcc2bdc2bec2bf",
         8164, 32},
        {"c0c1c2c3c4c5c6c7c8c9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedf",
         "c380c381c382c383c384c385c386c387c388c389c38ac38bc38cc38dc38ec38fc390c391c392c393c394c395c396c397c398c399c39ac"
         "39bc39cc39dc39e5353c380c381c382c383c384c385c386c387c388c389c38ac38bc38cc38dc38ec38fc390c391c392c393c394c395c3"
         "96c397c398c399c39ac39bc39cc39dc39e",
         2020, 33},
        {"e0e1e2e3e4e5e6e7e8e9eaebecedeeeff0f1f2f3f4f5f6f7f8f9fafbfcfdfeff",
         "c380c381c382c383c384c385c386c387c388c389c38ac38bc38cc38dc38ec38fc390c391c392c393c394c395c396c3b7c398c399c39ac"
         "39bc39cc39dc39ec5b8c380c381c382c383c384c385c386c387c388c389c38ac38bc38cc38dc38ec38fc390c391c392c393c394c395c3"
         "96c3b7c398c399c39ac39bc39cc39dc39ec5b8",
         2235, 32},
        {"7f808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f",
         "7fc280c281c282c283c284c285c286c287c288c289c28ac28bc28cc28dc28ec28fc290c291c292c293c294c295c296c297c298c299c29"
         "ac29bc29cc29dc29ec29f7fc280c281c282c283c284c285c286c287c288c289c28ac28bc28cc28dc28ec28fc290c291c292c293c294c2"
         "95c296c297c298c299c29ac29bc29cc29d",
         2938, 33},
        {"0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20414243",
         "4142434142434142434142434142434142434142434142434142434142434142434142434142434142434142434142434142434142434"
         "1424341424341424341",
         6032, 3},
        {"07a034cf01e58ec0cbceeb0303588c037c63c39bcf98ddea5b",
         "c2a034c38fc385c28ec380c38bc38ec38b58c28c7c43c383c29bc38fc298c39dc38a5bc2a034c38fc385c28ec380c38bc38ec38b58c28"
         "c7c43c383c29bc38fc298c39dc38a5bc2a034c38fc385c28ec380c38bc38ec38b58c28c7c43c383c29bc38fc298c39dc38a5bc2a034c3"
         "8fc385",
         1665, 20},
        {"f331abad275c9c508f540a5e9fcd63f9916d4066924233629081a8713660b3824f038fb99dbbbefb76a7f1",
         "c39331c2abc2ad275cc29c50c28f545ec29fc38d43c399c2914d4046c292423342c290c281c2a8513660c2b3c2824fc28fc2b9c29dc2b"
         "bc2bec39b56c2a7c391c39331c2abc2ad275cc29c50c28f545ec29fc38d43c399c2914d4046c292423342",
         4305, 41},
        {"fa50d17ec9065477e8c713bea3da98c147075ab5e37149a0be6c4398e4205ad5a513e91136179da537e2280b9900f7c372ef75125724b"
         "b9d6c08c265ade861bc3191e6",
         "c39a50c3917ec3895457c388c387c2bec2a3c39ac298c381475ace9cc3835149c2a0c2be4c43c298c3845ac395c2a5c38936c29dc2a53"
         "7c38228c299c3b7c38352c38f555724c2bbc29d4cc38245c2adc38841c2bc31c291c386c39a50c3917ec3895457c388",
         8451, 56},
        {"e739e6677e751f4786f94a449250cd96ea038d7958adffd053fc70f39b8d91644cb238a661771fce2dced38c92f76944014624",
         "c38739c386477e5547c286c3994a44c29250c38dc296c38ac28d5958c2adc5b8c39053c39c50c393c29bc28dc291444cc2b238c2a6415"
         "7c38e2dc38ec393c28cc292c3b749444624c38739c386477e5547c286c3994a44c29250c38dc296c38ac28d",
         4567, 47},
        {"ac565542a2add8229ce40ea6c1ccd6a325520be6e012556a88e192158f27",
         "c2ac565542c2a2c2adc39822c29cc384c2a6c381c38cc396c2a32552c386c380554ac288c381c292c28f27c2ac565542c2a2c2adc3982"
         "2c29cc384c2a6c381c38cc396c2a32552c386c380554ac288c381c292c28f27c2ac565542c2a2c2adc39822c29cc384c2a6c381",
         4194, 26},
        {"be31c12233dc22e58db2a0ea82a20141b8f79f705c0456ab25d5e32e86b4812788086f11a7e8",
         "c2be31c3812233c39c22c385c28dc2b2c2a0c38ac282c2a241c2b8c3b7c29f505c56c2ab25c395c3832ec286c2b4c28127c2884fc2a7c"
         "388c2be31c3812233c39c22c385c28dc2b2c2a0c38ac282c2a241c2b8c3b7c29f505c56c2ab25c395c3832ec286c2b4c28127",
         9259, 34},
        {"424c4d59caf8bc09e4d758564f1d6abf8259f3b8d1d68b831f756157381a2d038f0ba8a53e3de0ebd797ee60",
         "424c4d59c38ac398c2bcc384c39758564f4ac2bfc28259c393c2b8c391c396c28bc283554157382dc28fc2a8c2a53e3dc380c38bc397c"
         "297c38e60424c4d59c38ac398c2bcc384c39758564f4ac2bfc28259c393c2b8c391c396c28bc28355415738",
         7356, 38},
        {"15777657306161b488da39c7d54f57fcacf3315d092fe01bb79f02dd136dc23596555fc8d02d88e9ec8ffbe598570a90",
         "575657304141c2b4c288c39a39c387c3954f57c39cc2acc393315d2fc380c2b7c29fc39d4dc38235c296555fc388c3902dc288c389c38"
         "cc28fc39bc385c29857c290575657304141c2b4c288c39a39c387c3954f57c39cc2acc393315d2fc380c2b7",
         5858, 42},
    };
    for (const auto& c : cases) {
        const QString key = QString::fromLatin1(QByteArray::fromHex(c.latin1Hex));
        SCOPED_TRACE(c.latin1Hex);
        EXPECT_EQ(Keys::MakeEngineKey(key).toHex(), QByteArray(c.engineKeyHex));
        EXPECT_EQ(Keys::KeyChecksum(key), c.checksum);
        EXPECT_EQ(Keys::SignificantLength(key), c.significant);
    }
}

// Keys of other scripts: each character counts whole, so keys that differ in any significant
// character never share an engine key (the low byte of a UTF-16 unit dropped half of them).
TEST(MakeEngineKey, KeysOfOtherScriptsStayApart)
{
    const QString keys[] = {
        QStringLiteral(
            u"\u041F\u0420\u0418\u0412\u0415\u0422 \u041C\u0418\u0420 \u041A\u0410\u041A \u0414\u0415\u041B\u0410"),
        QStringLiteral(
            u"\u041F\u0420\u0418\u0412\u0415\u0422 \u041C\u0418\u0420 \u041A\u0410\u041A \u0414\u0415\u041B\u0411"),
        QStringLiteral(
            u"\u0410\u0411\u0412\u0413\u0414\u0415\u0416\u0417\u0418\u0419\u041A\u041B\u041C\u041D\u041E\u041F"),
        QStringLiteral(
            u"\u0411\u0412\u0413\u0414\u0415\u0416\u0417\u0418\u0419\u041A\u041B\u041C\u041D\u041E\u041F\u0420"),
        QStringLiteral(
            u"\u4E00\u4E01\u4E02\u4E03\u4E04\u4E05\u4E06\u4E07\u4E08\u4E09\u4E0A\u4E0B\u4E0C\u4E0D\u4E0E\u4E0F"),
        QStringLiteral(
            u"\u4F00\u4E01\u4E02\u4E03\u4E04\u4E05\u4E06\u4E07\u4E08\u4E09\u4E0A\u4E0B\u4E0C\u4E0D\u4E0E\u4E0F"),
        QStringLiteral(
            u"\u03B1\u03B2\u03B3\u03B4\u03B5\u03B6\u03B7\u03B8\u03B9\u03BA\u03BB\u03BC\u03BD\u03BE\u03BF\u03C0"),
        QStringLiteral(
            u"\u0391\u0392\u0393\u0394\u0395\u0396\u0397\u0398\u0399\u039A\u039B\u039C\u039D\u039E\u039F\u03A1"),
        QStringLiteral(u"\U0001F600").repeated(16),
        QStringLiteral(u"\U0001F601").repeated(16),
        QStringLiteral(u"\U0001F600\U0001F601\U0001F602\U0001F603\U0001F604\U0001F605\U0001F606\U0001F607"
                       u"\U0001F608\U0001F609\U0001F60A\U0001F60B\U0001F60C\U0001F60D\U0001F60E\U0001F60F"),
        QStringLiteral(u"\U0001F610\U0001F611\U0001F612\U0001F613\U0001F614\U0001F615\U0001F616\U0001F617"
                       u"\U0001F618\U0001F619\U0001F61A\U0001F61B\U0001F61C\U0001F61D\U0001F61E\U0001F61F"),
        QString(16, QLatin1Char('?')),
        QStringLiteral(u"Stra\u00DFe \u0416\u4E2D\u03A9 \U0001F600 \u2013 mixed 12345"),
        QStringLiteral(u"Stra\u00DFe \u0416\u4E2D\u03A9 \U0001F601 \u2013 mixed 12345"),
        QStringLiteral(u"Stra\u00DFe \u0416\u4E2D\u03A9 \U0001F600 \u2014 mixed 12345"),
        // The pieces an emoji was cut into before: its lone halves are characters of their own.
        QString(QChar(0xD83D)).repeated(16),
        QString(QChar(0xDE00)).repeated(16),
    };
    QSet<QByteArray> engineKeys;
    for (const QString& key : keys) {
        const QByteArray engineKey = Keys::MakeEngineKey(key);
        SCOPED_TRACE(key.toStdString());
        EXPECT_GE(Keys::SignificantLength(key), Keys::MinKeyLength);
        EXPECT_FALSE(engineKey.contains('?') && !key.contains(QLatin1Char('?'))) << "a character became \"?\"";
        EXPECT_TRUE(!engineKeys.contains(engineKey)) << "shares its engine key with an earlier key";
        engineKeys.insert(engineKey);
    }
}

// The worked examples of docs/FORMAT.md ("From the typed key to the engine key").
TEST(MakeEngineKey, WorkedExamplesOfTheFormatDocument)
{
    struct {
        const char16_t* typed;
        int significant;
        const char* engineKeyHex; // repeated `times` times
        int times;
        int checksum;
    } const cases[] = {
        {u"Correct Horse Battery Staple", 25,
         "434f5252454354484f52534542415454455259535441504c45434f5252454354484f52534542415454455259535441504c45434f5252"
         "454354484f5253454241",
         1, 9527},
        {u"  gr\u00fc\u00dfe aus K\u00f6ln 2024 ", 17,
         "4752c39c5353454155534bc3964c4e323032344752c39c5353454155534bc3964c4e323032344752c39c5353454155534bc3964c4e32"
         "3032344752c39c5353454155534bc3964c4e",
         1, 9692},
        {u"\u0441\u0435\u043a\u0440\u0435\u0442\u043d\u044b\u0439 \u043a\u043b\u044e\u0447 2024", 17,
         "d0a1d095d09ad0a0d095d0a2d09dd0abd099d09ad09bd0aed0a732303234d0a1d095d09ad0a0d095d0a2d09dd0abd099d09ad09bd0ae"
         "d0a732303234d0a1d095d09ad0a0d095d0a2d09dd0abd099d09ad09bd0aed0a732303234d0a1d095d09ad0a0d095d0a2d09dd0abd099"
         "d09ad09bd0aed0a7",
         1, 3735},
        {u"\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b\u4e5d\u5341\u767e\u5343\u4e07\u4ebf\u5146\u4eac", 16,
         "e4b880e4ba8ce4b889e59b9be4ba94e585ade4b883e585abe4b99de58d81e799bee58d83e4b887e4babfe58586e4baac", 4, 4345},
        {u"\U0001F600\U0001F601\U0001F602\U0001F603\U0001F604\U0001F605\U0001F606\U0001F607\U0001F608\U0001F609"
         u"\U0001F60A\U0001F60B\U0001F60C\U0001F60D\U0001F60E\U0001F60F",
         16,
         "f09f9880f09f9881f09f9882f09f9883f09f9884f09f9885f09f9886f09f9887f09f9888f09f9889f09f988af09f988bf09f988cf09f"
         "988df09f988ef09f988f",
         4, 8338},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf16(c.typed);
        SCOPED_TRACE(typed.toStdString());
        const QByteArray expected = QByteArray(c.engineKeyHex).repeated(c.times);
        EXPECT_EQ(Keys::SignificantLength(typed), c.significant);
        EXPECT_EQ(Keys::MakeEngineKey(typed).toHex(), expected);
        EXPECT_EQ(Keys::KeyChecksum(typed), c.checksum);
    }
}

// An emoji is one character: the limits of 16 and 64 count it once, and the engine key carries
// 64 of them whole (4 bytes each).
TEST(MakeEngineKey, CountsCharactersNotUtf16Units)
{
    const QString smiley = QStringLiteral(u"\U0001F600");
    EXPECT_EQ(Keys::SignificantLength(smiley.repeated(16)), 16);
    EXPECT_EQ(Keys::SignificantLength(smiley.repeated(64) + " "), 64);
    EXPECT_EQ(Keys::MakeEngineKey(smiley.repeated(5)), smiley.repeated(64).toUtf8());
    const QString mixed = QStringLiteral(u"a\U0001F600\u4E00");
    EXPECT_EQ(Keys::MakeEngineKey(mixed), (QStringLiteral(u"A\U0001F600\u4E00").repeated(22)).left(64 + 21).toUtf8());
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
