#pragma once
// The engine body: its byte layout, the key derivation and the chunked stream encryption, over
// any QIODevice. The C-style engine interface (CipherEngine.h) runs these on files; tests and
// benchmarks call them directly, e.g. with keys derived once.
//
// Layout (docs/FORMAT.md, "Engine body"), all integers little-endian:
//   0  3  magic "QLB"              12 16 Argon2id salt
//   3  1  version (1)              28 32 key-check value
//   4  4  Argon2id opslimit        60  8 plain-text length in bytes
//   8  4  Argon2id memlimit, KiB   68 24 secretstream header
//   92 .. chunks: XChaCha20-Poly1305 secretstream, 64 KiB of plain text each, the last one
//         shorter (possibly empty) and tagged FINAL; the 92 leading bytes are the additional
//         data of the first chunk.

#include "engines/CipherEngine.h"
#include "engines/GuardedBuffer.h"
#include "engines/StopFlag.h"

#include <QByteArray>
#include <QIODevice>
#include <sodium.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace cipher_body {

inline constexpr std::array<uint8_t, 3> kMagic = {'Q', 'L', 'B'};
inline constexpr uint8_t kVersion = 1;

inline constexpr std::size_t kSaltBytes = crypto_pwhash_argon2id_SALTBYTES;
inline constexpr std::size_t kKeyCheckBytes = 32;
inline constexpr std::size_t kStreamHeaderBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
inline constexpr std::size_t kKdfInputBytes = kMagic.size() + 1 + 4 + 4 + kSaltBytes; // what the key check covers
inline constexpr std::size_t kHeaderBytes = kKdfInputBytes + kKeyCheckBytes + 8 + kStreamHeaderBytes;

inline constexpr std::size_t kChunkBytes = 64 * 1024;
inline constexpr std::size_t kChunkOverhead = crypto_secretstream_xchacha20poly1305_ABYTES;

// The longest key accepted: far above the 64 characters the program uses, low enough that a
// mistaken argument is refused instead of hashed.
inline constexpr std::size_t kMaxKeyBytes = 1024;

struct KdfParams {
    uint32_t opsLimit = 0;
    uint32_t memLimitKiB = 0;
};

// The parameters written for a level; also the bounds a reader enforces (Sensitive the upper,
// libsodium's minimum the lower).
KdfParams kdf_params(KdfLevel level);
inline constexpr KdfParams kKdfMin = {crypto_pwhash_argon2id_OPSLIMIT_MIN, crypto_pwhash_argon2id_MEMLIMIT_MIN / 1024};
inline constexpr KdfParams kKdfMax = {crypto_pwhash_argon2id_OPSLIMIT_SENSITIVE,
                                      crypto_pwhash_argon2id_MEMLIMIT_SENSITIVE / 1024};

struct BodyHeader {
    KdfParams kdf;
    std::array<uint8_t, kSaltBytes> salt{};
    std::array<uint8_t, kKeyCheckBytes> keyCheck{};
    uint64_t plainLength = 0;
    std::array<uint8_t, kStreamHeaderBytes> streamHeader{};
};

QByteArray encode_header(const BodyHeader& header);
// 0; kNotABody for a wrong magic, an unknown version or fewer than kHeaderBytes bytes;
// kMalformed for key-derivation parameters out of bounds.
int32_t parse_header(const QByteArray& bytes, BodyHeader& header);

// The 64 bytes Argon2id derives: the stream key, then the key-check key.
class BodyKeys {
  public:
    static constexpr std::size_t kBytes = 64;
    BodyKeys() : bytes_(kBytes) {}
    bool valid() const { return bytes_.valid(); }
    unsigned char* data() { return bytes_.data(); }
    const unsigned char* streamKey() const { return bytes_.data(); }
    const unsigned char* checkKey() const { return bytes_.data() + 32; }

  private:
    GuardedBuffer bytes_;
};

// Argon2id over the key's bytes with the header's salt and parameters.
// 0; kKeyNotDerivable for an empty or overlong key; kOutOfMemory when the memory is not to be had.
int32_t derive_keys(std::string_view key, const BodyHeader& header, BodyKeys& keys);

// Fills keys for a header whose salt and parameters are set; returns 0 or a cipher_result.
using KeyDeriver = std::function<int32_t(const BodyHeader& header, BodyKeys& keys)>;
KeyDeriver argon2id_deriver(std::string_view key);

// The chunk buffers, in guarded memory: one plain-text chunk and one sealed chunk.
struct ChunkBuffers {
    GuardedBuffer plain{kChunkBytes};
    GuardedBuffer sealed{kChunkBytes + kChunkOverhead};
    bool valid() const { return plain.valid() && sealed.valid(); }
};

// Encrypts everything from in's position to its end into a body written to out. A set stop flag
// ends it with kStopped after the key derivation or between chunks.
int32_t encrypt_body(QIODevice& in, QIODevice& out, KdfParams params, const KeyDeriver& derive, ChunkBuffers& buffers,
                     const StopFlag* stop = nullptr);
// Decrypts a body from in's position; checks the key before it writes anything.
int32_t decrypt_body(QIODevice& in, QIODevice& out, const KeyDeriver& derive, ChunkBuffers& buffers,
                     const StopFlag* stop = nullptr);

// The same on files (UTF-8 paths); the output appears only on success.
int32_t encrypt_body_file(const char* inputPath, const char* outputPath, KdfParams params, const KeyDeriver& derive,
                          ChunkBuffers& buffers, const StopFlag* stop = nullptr);
int32_t decrypt_body_file(const char* inputPath, const char* outputPath, const KeyDeriver& derive,
                          ChunkBuffers& buffers, const StopFlag* stop = nullptr);

} // namespace cipher_body
