// The engine body is read from a file a hostile sender made: every header field, length and chunk
// is the sender's choice. The reader must refuse what is wrong without reading or writing out of
// bounds, and what it accepts is exactly the length the header promised.
#include "EngineBodySeed.h"
#include "FuzzScratch.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const cipher_body::KeyDeriver derive = fuzz::LowestBoundsDeriver();
    static cipher_body::ChunkBuffers buffers;
    QByteArray bodyBytes = fuzz::Bytes(data, size);
    QBuffer body(&bodyBytes);
    QByteArray plainBytes;
    QBuffer plain(&plainBytes);
    body.open(QIODevice::ReadOnly);
    plain.open(QIODevice::WriteOnly);
    const int32_t result = cipher_body::decrypt_body(body, plain, derive, buffers);
    if (result == cipher_result::kOk) {
        cipher_body::BodyHeader header;
        FUZZ_EXPECT(cipher_body::parse_header(bodyBytes, header) == cipher_result::kOk);
        FUZZ_EXPECT(static_cast<uint64_t>(plainBytes.size()) == header.plainLength);
    } else {
        FUZZ_EXPECT(result >= cipher_result::kOutOfMemory && result < 0);
    }
    return 0;
}
