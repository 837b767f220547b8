// A received ciphertext file is the first thing a hostile sender controls: splitting off the
// header and describing its fields must stay inside the file whatever its bytes say.
#include "FuzzScratch.h"

#include "format/CiphertextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = fuzz::Bytes(data, size);
    const CiphertextSplit split = SplitCiphertextFile(file);
    if (split.ok) {
        FUZZ_EXPECT(split.headerLength <= file.size());
        FUZZ_EXPECT(file.mid(split.headerLength) == split.body);
    } else {
        FUZZ_EXPECT(split.body.isEmpty());
    }
    const CiphertextHeaderInfo info = DescribeCiphertextHeader(file);
    if (info.ok) {
        FUZZ_EXPECT(split.ok);
        FUZZ_EXPECT(info.name.size() <= info.nameLength);
        FUZZ_EXPECT(info.bodyLength == split.body.size());
    }
    return 0;
}
