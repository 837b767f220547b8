#include "format/CiphertextFile.h"

#include "format/FakeZipHeader.h"

#include <algorithm>

namespace {

uint32_t LittleEndianAt(const QByteArray& bytes, int offset, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

} // namespace

CiphertextSplit SplitCiphertextFile(const QByteArray& file)
{
    CiphertextSplit split;
    if (file.size() <= HeaderLengthOffset)
        return split;
    const int headerLength = static_cast<unsigned char>(file.at(HeaderLengthOffset));
    if (headerLength > file.size())
        return split;
    split.ok = true;
    split.headerLength = headerLength;
    split.body = file.mid(headerLength);
    return split;
}

CiphertextHeaderInfo DescribeCiphertextHeader(const QByteArray& file)
{
    CiphertextHeaderInfo info;
    const CiphertextSplit split = SplitCiphertextFile(file);
    if (!split.ok || file.size() < FixedHeaderLength)
        return info;
    info.ok = true;
    info.zipSignature = file.startsWith("PK\x03\x04");
    info.versionNeeded = uint16_t(LittleEndianAt(file, 4, 2));
    info.flags = uint16_t(LittleEndianAt(file, 6, 2));
    info.method = uint16_t(LittleEndianAt(file, 8, 2));
    info.headerLength = split.headerLength;
    info.statedCompressedSize = LittleEndianAt(file, 18, 4);
    info.statedUncompressedSize = LittleEndianAt(file, 22, 4);
    info.nameLength = uint16_t(LittleEndianAt(file, 26, 2));
    info.extraLength = uint16_t(LittleEndianAt(file, 28, 2));
    const int nameEnd = std::min(FixedHeaderLength + int(info.nameLength), split.headerLength);
    info.name = file.mid(FixedHeaderLength, std::max(nameEnd - FixedHeaderLength, 0));
    info.bodyLength = split.body.size();
    return info;
}
