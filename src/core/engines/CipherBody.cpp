#include "engines/CipherBody.h"

#include "engines/AtomicOutput.h"

#include <algorithm>

// Why this is safe:
// - Argon2id makes every key guess cost the stored memory and passes; the random salt makes each
//   body's keys unique, so the stream key is never reused and secretstream's random nonce
//   (inside its header) is fresh as well.
// - The key-check value is a BLAKE2b MAC under a key of its own, split from the same derivation:
//   it tells a wrong key apart from damage, and reveals nothing about the stream key.
// - Every chunk is authenticated (Poly1305); the 92 leading bytes are the additional data of the
//   first chunk, so no header field can change unnoticed; chunk order is enforced by the stream
//   state; the FINAL tag on the last chunk and the stored length catch truncation and appending.
// - Each value has exactly one encoding (fixed-width integers, memory in whole KiB), and the
//   parameters are bounded before anything is allocated for them.

namespace cipher_body {
namespace {

using namespace cipher_result;
static_assert(kInputUnreadable == -1 && kOutputUnwritable == -2, "the codes run_file_to_file returns");

constexpr std::size_t kOpsOffset = 4;
constexpr std::size_t kMemOffset = 8;
constexpr std::size_t kSaltOffset = 12;
constexpr std::size_t kKeyCheckOffset = kKdfInputBytes;
constexpr std::size_t kLengthOffset = kKeyCheckOffset + kKeyCheckBytes;
constexpr std::size_t kStreamHeaderOffset = kLengthOffset + 8;
static_assert(kStreamHeaderOffset + kStreamHeaderBytes == kHeaderBytes);

void put_le(QByteArray& bytes, std::size_t offset, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[static_cast<qsizetype>(offset) + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint64_t get_le(const QByteArray& bytes, std::size_t offset, int width)
{
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[static_cast<qsizetype>(offset) + i]);
    return value;
}

template <std::size_t N> void put_bytes(QByteArray& bytes, std::size_t offset, const std::array<uint8_t, N>& field)
{
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<qsizetype>(offset));
}

template <std::size_t N> void get_bytes(const QByteArray& bytes, std::size_t offset, std::array<uint8_t, N>& field)
{
    const auto* begin = reinterpret_cast<const uint8_t*>(bytes.constData()) + offset;
    std::copy(begin, begin + N, field.begin());
}

const unsigned char* ubytes(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

bool within_bounds(KdfParams params)
{
    return params.opsLimit >= kKdfMin.opsLimit && params.opsLimit <= kKdfMax.opsLimit &&
           params.memLimitKiB >= kKdfMin.memLimitKiB && params.memLimitKiB <= kKdfMax.memLimitKiB;
}

void compute_key_check(const QByteArray& encoded, const BodyKeys& keys, std::array<uint8_t, kKeyCheckBytes>& check)
{
    crypto_generichash(check.data(), check.size(), ubytes(encoded), kKdfInputBytes, keys.checkKey(), 32);
}

// The body size that a plain text of this length gives, after the header.
bool sealed_size(uint64_t plainLength, uint64_t& size)
{
    const uint64_t chunks = plainLength / kChunkBytes + 1;
    return !__builtin_add_overflow(plainLength, chunks * kChunkOverhead, &size);
}

qint64 read_exact(QIODevice& in, unsigned char* into, qint64 count)
{
    qint64 done = 0;
    while (done < count) {
        const qint64 got = in.read(reinterpret_cast<char*>(into) + done, count - done);
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

bool write_all(QIODevice& out, const unsigned char* data, qint64 count)
{
    return out.write(reinterpret_cast<const char*>(data), count) == count;
}

// The stream state holds the running key: wiped on every way out.
struct StreamState {
    crypto_secretstream_xchacha20poly1305_state state;
    ~StreamState() { sodium_memzero(&state, sizeof state); }
};

int32_t seal_chunks(QIODevice& in, QIODevice& out, const QByteArray& encodedHeader, uint64_t plainLength,
                    StreamState& stream, ChunkBuffers& buffers, const StopFlag* stop)
{
    uint64_t left = plainLength;
    bool first = true;
    for (;;) {
        if (StopRequested(stop))
            return kStopped;
        const std::size_t take = static_cast<std::size_t>(std::min<uint64_t>(left, kChunkBytes));
        if (read_exact(in, buffers.plain.data(), static_cast<qint64>(take)) != static_cast<qint64>(take))
            return kInputUnreadable;
        left -= take;
        const bool last = take < kChunkBytes;
        const unsigned char tag =
            last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE;
        unsigned long long sealedLength = 0;
        crypto_secretstream_xchacha20poly1305_push(&stream.state, buffers.sealed.data(), &sealedLength,
                                                   buffers.plain.data(), take, first ? ubytes(encodedHeader) : nullptr,
                                                   first ? kHeaderBytes : 0, tag);
        if (!write_all(out, buffers.sealed.data(), static_cast<qint64>(sealedLength)))
            return kOutputUnwritable;
        first = false;
        if (last)
            return kOk;
    }
}

int32_t open_chunks(QIODevice& in, QIODevice& out, const QByteArray& encodedHeader, uint64_t plainLength,
                    StreamState& stream, ChunkBuffers& buffers, const StopFlag* stop)
{
    uint64_t left = plainLength;
    bool first = true;
    for (;;) {
        if (StopRequested(stop))
            return kStopped;
        const std::size_t plainTake = static_cast<std::size_t>(std::min<uint64_t>(left, kChunkBytes));
        const qint64 sealedTake = static_cast<qint64>(plainTake + kChunkOverhead);
        if (read_exact(in, buffers.sealed.data(), sealedTake) != sealedTake)
            return kInputUnreadable; // the size was checked: the file changed or failed under us
        unsigned long long plainLengthOut = 0;
        unsigned char tag = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(
                &stream.state, buffers.plain.data(), &plainLengthOut, &tag, buffers.sealed.data(),
                static_cast<unsigned long long>(sealedTake), first ? ubytes(encodedHeader) : nullptr,
                first ? kHeaderBytes : 0) != 0)
            return kDamagedChunk;
        left -= plainTake;
        const bool last = plainTake < kChunkBytes;
        if (last != (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL))
            return kDamagedChunk;
        if (!write_all(out, buffers.plain.data(), static_cast<qint64>(plainLengthOut)))
            return kOutputUnwritable;
        first = false;
        if (last)
            return kOk;
    }
}

// Compares the length the header states with what the device holds after the header.
int32_t check_sealed_size(QIODevice& in, uint64_t plainLength)
{
    const qint64 available = in.size() - in.pos();
    uint64_t expected = 0;
    if (available < 0 || !sealed_size(plainLength, expected) || expected > static_cast<uint64_t>(available))
        return kTruncated;
    return expected < static_cast<uint64_t>(available) ? kMalformed : kOk;
}

} // namespace

KdfParams kdf_params(KdfLevel level)
{
    switch (level) {
    case KdfLevel::Interactive:
        return {crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE, crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE / 1024};
    case KdfLevel::Sensitive:
        return kKdfMax;
    case KdfLevel::Moderate:
        break;
    }
    return {crypto_pwhash_argon2id_OPSLIMIT_MODERATE, crypto_pwhash_argon2id_MEMLIMIT_MODERATE / 1024};
}

QByteArray encode_header(const BodyHeader& header)
{
    QByteArray bytes(static_cast<qsizetype>(kHeaderBytes), '\0');
    put_bytes(bytes, 0, kMagic);
    bytes[kMagic.size()] = static_cast<char>(kVersion);
    put_le(bytes, kOpsOffset, header.kdf.opsLimit, 4);
    put_le(bytes, kMemOffset, header.kdf.memLimitKiB, 4);
    put_bytes(bytes, kSaltOffset, header.salt);
    put_bytes(bytes, kKeyCheckOffset, header.keyCheck);
    put_le(bytes, kLengthOffset, header.plainLength, 8);
    put_bytes(bytes, kStreamHeaderOffset, header.streamHeader);
    return bytes;
}

int32_t parse_header(const QByteArray& bytes, BodyHeader& header)
{
    const bool magicMatches = bytes.size() > static_cast<qsizetype>(kMagic.size()) &&
                              std::equal(kMagic.begin(), kMagic.end(), ubytes(bytes)) &&
                              static_cast<uint8_t>(bytes[kMagic.size()]) == kVersion;
    if (!magicMatches || bytes.size() < static_cast<qsizetype>(kHeaderBytes))
        return kNotABody;
    header.kdf.opsLimit = static_cast<uint32_t>(get_le(bytes, kOpsOffset, 4));
    header.kdf.memLimitKiB = static_cast<uint32_t>(get_le(bytes, kMemOffset, 4));
    if (!within_bounds(header.kdf))
        return kMalformed;
    get_bytes(bytes, kSaltOffset, header.salt);
    get_bytes(bytes, kKeyCheckOffset, header.keyCheck);
    header.plainLength = get_le(bytes, kLengthOffset, 8);
    get_bytes(bytes, kStreamHeaderOffset, header.streamHeader);
    return kOk;
}

int32_t derive_keys(std::string_view key, const BodyHeader& header, BodyKeys& keys)
{
    if (key.empty() || key.size() > kMaxKeyBytes)
        return kKeyNotDerivable;
    if (!keys.valid())
        return kOutOfMemory;
    if (!within_bounds(header.kdf))
        return kMalformed;
    // With the parameters bounded, the one way crypto_pwhash fails is that the memory is refused.
    if (crypto_pwhash(keys.data(), BodyKeys::kBytes, key.data(), key.size(), header.salt.data(), header.kdf.opsLimit,
                      static_cast<std::size_t>(header.kdf.memLimitKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return kOutOfMemory;
    return kOk;
}

KeyDeriver argon2id_deriver(std::string_view key)
{
    return [key](const BodyHeader& header, BodyKeys& keys) { return derive_keys(key, header, keys); };
}

int32_t encrypt_body(QIODevice& in, QIODevice& out, KdfParams params, const KeyDeriver& derive, ChunkBuffers& buffers,
                     const StopFlag* stop)
{
    if (!buffers.valid())
        return kOutOfMemory;
    const qint64 available = in.size() - in.pos();
    if (available < 0)
        return kInputUnreadable;
    BodyHeader header;
    header.kdf = params;
    header.plainLength = static_cast<uint64_t>(available);
    randombytes_buf(header.salt.data(), header.salt.size());
    BodyKeys keys;
    if (const int32_t derived = derive(header, keys); derived != kOk)
        return derived;
    // The derivation itself cannot be interrupted; this is the first place to stop after it.
    if (StopRequested(stop))
        return kStopped;
    compute_key_check(encode_header(header), keys, header.keyCheck);
    StreamState stream;
    crypto_secretstream_xchacha20poly1305_init_push(&stream.state, header.streamHeader.data(), keys.streamKey());
    const QByteArray encoded = encode_header(header);
    if (!write_all(out, ubytes(encoded), encoded.size()))
        return kOutputUnwritable;
    return seal_chunks(in, out, encoded, header.plainLength, stream, buffers, stop);
}

int32_t decrypt_body(QIODevice& in, QIODevice& out, const KeyDeriver& derive, ChunkBuffers& buffers,
                     const StopFlag* stop)
{
    if (!buffers.valid())
        return kOutOfMemory;
    const QByteArray encoded = in.read(static_cast<qint64>(kHeaderBytes));
    BodyHeader header;
    if (const int32_t parsed = parse_header(encoded, header); parsed != kOk)
        return parsed;
    BodyKeys keys;
    if (const int32_t derived = derive(header, keys); derived != kOk)
        return derived;
    if (StopRequested(stop))
        return kStopped;
    std::array<uint8_t, kKeyCheckBytes> expectedCheck{};
    compute_key_check(encoded, keys, expectedCheck);
    if (sodium_memcmp(expectedCheck.data(), header.keyCheck.data(), kKeyCheckBytes) != 0)
        return kWrongKey;
    if (const int32_t sized = check_sealed_size(in, header.plainLength); sized != kOk)
        return sized;
    StreamState stream;
    if (crypto_secretstream_xchacha20poly1305_init_pull(&stream.state, header.streamHeader.data(), keys.streamKey()) !=
        0)
        return kDamagedChunk;
    return open_chunks(in, out, encoded, header.plainLength, stream, buffers, stop);
}

int32_t encrypt_body_file(const char* inputPath, const char* outputPath, KdfParams params, const KeyDeriver& derive,
                          ChunkBuffers& buffers, const StopFlag* stop)
{
    return run_file_to_file(inputPath, outputPath, [&](QIODevice& in, QIODevice& out) {
        return encrypt_body(in, out, params, derive, buffers, stop);
    });
}

int32_t decrypt_body_file(const char* inputPath, const char* outputPath, const KeyDeriver& derive,
                          ChunkBuffers& buffers, const StopFlag* stop)
{
    return run_file_to_file(inputPath, outputPath, [&](QIODevice& in, QIODevice& out) {
        return decrypt_body(in, out, derive, buffers, stop);
    });
}

} // namespace cipher_body
