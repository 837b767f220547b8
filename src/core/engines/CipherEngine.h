#pragma once
// The cipher engine: turns a file into an authenticated, encrypted engine body and back.
// A small C-style interface that every caller shares: results are integers, never exceptions.
// Paths and the key go in as NUL-terminated UTF-8.
//
// Calling order for one file, on one CipherEngine: allocate_buffers, operation_initialization,
// encrypt_file or decrypt_file, deallocate_buffers. The key given to operation_initialization
// serves exactly one operation; it is wiped when that operation ends, whatever its outcome.

#include <cstdint>
#include <memory>

class StopFlag;

// Results of encrypt_file and decrypt_file.
namespace cipher_result {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kInputUnreadable = -1;
inline constexpr int32_t kOutputUnwritable = -2;
inline constexpr int32_t kWrongKey = -3;        // the key-check value does not match this key
inline constexpr int32_t kKeyNotDerivable = -4; // no key prepared, or an empty or overlong key
inline constexpr int32_t kDamagedChunk = -5;    // a chunk fails authentication
inline constexpr int32_t kReserved = -6;        // never returned; kept for the wrong-key group
inline constexpr int32_t kTruncated = -7;       // the data ends before the final chunk
inline constexpr int32_t kNotABody = -8;        // not a body of this engine, or an unknown version
inline constexpr int32_t kMalformed = -9;       // data after the final chunk, or parameters out of bounds
inline constexpr int32_t kOutOfMemory = -10;
inline constexpr int32_t kStopped = -11; // the run was asked to stop; no output is left
} // namespace cipher_result

// Strength of the key derivation used when encrypting (Argon2id). Reading always takes the
// parameters stored in the body, within bounds.
enum class KdfLevel {
    Interactive, // 2 passes, 64 MiB: for tests
    Moderate,    // 3 passes, 256 MiB: the default
    Sensitive    // 4 passes, 1 GiB: also the largest a reader accepts
};

namespace cipher_body {
struct ChunkBuffers;
}
class GuardedBuffer;

// One engine per run: its buffers, the key prepared for the next operation, the derivation level
// and the stop flag live here and nowhere else, so runs on different threads share nothing.
class CipherEngine {
  public:
    // level: the strength encrypt_file writes. stop: the flag encrypt_file and decrypt_file check
    // after the key derivation and between chunks (kStopped); nullptr: they run to the end. The
    // flag must outlive the engine.
    explicit CipherEngine(KdfLevel level = KdfLevel::Moderate, const StopFlag* stop = nullptr);
    ~CipherEngine();
    CipherEngine(const CipherEngine&) = delete;
    CipherEngine& operator=(const CipherEngine&) = delete;

    // Takes the chunk buffers from guarded memory. Non-zero: ready; 0: failure.
    int32_t allocate_buffers();

    // Prepares the next operation with key (UTF-8, normally 64 characters). direction: 1 encrypt,
    // 0 decrypt. length and reserved keep the call's shape and are not used: the engine
    // measures its input itself. Non-zero when the key was taken, 0 when it was refused.
    int32_t operation_initialization(const char* key64, int32_t direction, int64_t length, int32_t reserved);

    // Encrypts inputPath into outputPath. 0 on success, a negative cipher_result on failure.
    int32_t encrypt_file(const char* inputPath, const char* outputPath);

    // Decrypts the engine body in inputPath into outputPath. 0 on success, else a cipher_result.
    int32_t decrypt_file(const char* inputPath, const char* outputPath);

    // Wipes and frees the buffers and any key still held (the destructor does it otherwise).
    void deallocate_buffers();

  private:
    template <typename Operation> int32_t with_prepared_key(Operation operation);

    std::unique_ptr<cipher_body::ChunkBuffers> buffers_;
    std::unique_ptr<GuardedBuffer> key_; // the prepared key's bytes; gone after one operation
    KdfLevel level_;
    const StopFlag* stop_;
};
