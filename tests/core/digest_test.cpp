#include "engines/Digest.h"

#include <gtest/gtest.h>

namespace {

struct KnownDigest {
    const char* text;
    const char* hex;
};

// The test suite of RFC 1321, appendix A.5.
const KnownDigest Rfc1321Suite[] = {
    {"", "D41D8CD98F00B204E9800998ECF8427E"},
    {"a", "0CC175B9C0F1B6A831C399E269772661"},
    {"abc", "900150983CD24FB0D6963F7D28E17F72"},
    {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
    {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57EDF4A22BE3C955AC49DA2E2107B67A"},
};

QByteArray DigestInPieces(MD5Context& context, const QByteArray& text)
{
    // Uneven pieces, so that block boundaries fall inside updates.
    MD5Init2(context);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.constData());
    const uint32_t firstPiece = uint32_t(text.size()) / 3;
    MD5Update2(context, bytes, firstPiece);
    MD5Update2(context, bytes + firstPiece, uint32_t(text.size()) - firstPiece);
    unsigned char digest[16];
    MD5Final2(digest, context);
    return QByteArray(reinterpret_cast<const char*>(digest), 16);
}

} // namespace

TEST(Digest, StringHelpersGiveTheRfc1321Digests)
{
    for (const KnownDigest& known : Rfc1321Suite) {
        SCOPED_TRACE(known.text);
        EXPECT_EQ(MD5HexOfString(known.text), QByteArray(known.hex));
        EXPECT_EQ(MD5OfString(known.text), QByteArray::fromHex(known.hex));
    }
}

TEST(Digest, OneContextReusedForEveryStringInPieces)
{
    MD5Context context;
    for (const KnownDigest& known : Rfc1321Suite) {
        SCOPED_TRACE(known.text);
        EXPECT_EQ(DigestInPieces(context, known.text), QByteArray::fromHex(known.hex));
    }
}

TEST(Digest, CoversEveryByteIncludingZeros)
{
    const QByteArray withZeros("a\0b", 3);
    EXPECT_NE(MD5HexOfString(withZeros), MD5HexOfString("ab"));
    MD5Context context;
    EXPECT_EQ(DigestInPieces(context, withZeros), MD5OfString(withZeros));
}
