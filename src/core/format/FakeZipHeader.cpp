#include "format/FakeZipHeader.h"

#include "format/RandomText.h"

#include <algorithm>
#include <limits>

namespace {

constexpr char ZipLocalHeaderSignature[] = "PK\x03\x04";
constexpr int VersionNeeded = 20;
constexpr int FlagsWhenSet = 2;
constexpr int MethodDeflate = 8;

QByteArray LittleEndian16(int v)
{
    QByteArray bytes;
    bytes.append(char(v & 0xFF));
    bytes.append(char((v >> 8) & 0xFF));
    return bytes;
}

char RandomByte(RandomSource& rng, int low, int high)
{
    return char(RandomInteger(rng, low, high, false));
}

QByteArray FakeFileName(RandomSource& rng)
{
    const QByteArray stem = RandomWord(rng, MinStemLength, MaxStemLength, false, false).toLower();
    return stem + '.' + RandomListEntry(rng, QByteArray(FakeNameExtensions));
}

} // namespace

QByteArray LongToBytes4(uint32_t v)
{
    QByteArray bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.append(char((v >> shift) & 0xFF));
    return bytes;
}

int32_t RoundedPercent(int64_t value, int percent)
{
    const int64_t product = std::max<int64_t>(value, 0) * percent;
    int64_t quotient = product / 100;
    const int64_t remainder = product % 100;
    if (remainder > 50 || (remainder == 50 && quotient % 2 != 0))
        ++quotient;
    return int32_t(std::min<int64_t>(quotient, std::numeric_limits<int32_t>::max()));
}

int32_t StatedUncompressedSize(int64_t bodyLength, int q)
{
    return RoundedPercent(bodyLength, 100 + q);
}

int32_t StatedCompressedSize(int32_t uncompressedSize, int p)
{
    return RoundedPercent(uncompressedSize, p);
}

QByteArray MakeFakeZipHeader(RandomSource& rng, int64_t bodyLength)
{
    const int flags = rng.next() > 0.5 ? FlagsWhenSet : 0;
    const int method = rng.next() > 0.2 ? MethodDeflate : 0;
    const QByteArray name = FakeFileName(rng);
    const int q = RandomInteger(rng, 5, 15, false);
    const int p = RandomInteger(rng, 40, 75, false);
    const int32_t uncompressed = StatedUncompressedSize(bodyLength, q);

    QByteArray header(ZipLocalHeaderSignature, 4);
    header += LittleEndian16(VersionNeeded);
    header += LittleEndian16(flags);
    header += LittleEndian16(method);
    header += RandomByte(rng, 0, 255);
    header += char(FixedHeaderLength + name.size());
    header += RandomByte(rng, 52, 64);
    header += RandomByte(rng, 60, 64);
    for (int i = 0; i < 4; ++i)
        header += RandomByte(rng, 0, 255);
    header += LongToBytes4(uint32_t(StatedCompressedSize(uncompressed, p)));
    header += LongToBytes4(uint32_t(uncompressed));
    header += LittleEndian16(int(name.size()));
    header += LittleEndian16(RandomInteger(rng, 1, 126, false));
    header += name;
    return header;
}
