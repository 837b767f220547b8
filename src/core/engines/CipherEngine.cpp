#include "engines/CipherEngine.h"

#include "engines/CipherBody.h"

#include <cstring>
#include <memory>
#include <string_view>

namespace {

using namespace cipher_result;

// The engine's state, kept once per process and reused by every call: its buffers, the key prepared for
// the next operation, and the strength of the key derivation.
struct Engine {
    std::unique_ptr<cipher_body::ChunkBuffers> buffers;
    std::unique_ptr<GuardedBuffer> key; // the prepared key's bytes; gone after one operation
    KdfLevel level = KdfLevel::Moderate;
};

Engine& engine()
{
    static Engine instance;
    return instance;
}

bool ensure_buffers()
{
    return engine().buffers || allocate_buffers() != 0;
}

// Runs one operation with the prepared key, then wipes the key whatever the outcome.
template <typename Operation> int32_t with_prepared_key(Operation operation)
{
    std::unique_ptr<GuardedBuffer> key = std::move(engine().key);
    if (!key)
        return kKeyNotDerivable;
    if (!ensure_buffers())
        return kOutOfMemory;
    const std::string_view keyBytes(reinterpret_cast<const char*>(key->data()), key->size());
    return operation(cipher_body::argon2id_deriver(keyBytes), *engine().buffers);
}

} // namespace

void engine_set_kdf_level(KdfLevel level)
{
    engine().level = level;
}

KdfLevel engine_kdf_level()
{
    return engine().level;
}

extern "C" {

int32_t allocate_buffers()
{
    if (engine().buffers)
        return 1;
    auto buffers = std::make_unique<cipher_body::ChunkBuffers>();
    if (!buffers->valid())
        return 0;
    engine().buffers = std::move(buffers);
    return 1;
}

int32_t operation_initialization(const char* key64, int32_t /*direction*/, int64_t /*length*/, int32_t /*reserved*/)
{
    engine().key.reset();
    const std::size_t length = key64 ? std::strlen(key64) : 0;
    if (length == 0 || length > cipher_body::kMaxKeyBytes)
        return 0;
    auto key = std::make_unique<GuardedBuffer>(length);
    if (!key->valid())
        return 0;
    std::memcpy(key->data(), key64, length);
    engine().key = std::move(key);
    return 1;
}

int32_t encrypt_file(const char* inputPath, const char* outputPath)
{
    const cipher_body::KdfParams params = cipher_body::kdf_params(engine().level);
    return with_prepared_key([&](const cipher_body::KeyDeriver& derive, cipher_body::ChunkBuffers& buffers) {
        return cipher_body::encrypt_body_file(inputPath, outputPath, params, derive, buffers);
    });
}

int32_t decrypt_file(const char* inputPath, const char* outputPath)
{
    return with_prepared_key([&](const cipher_body::KeyDeriver& derive, cipher_body::ChunkBuffers& buffers) {
        return cipher_body::decrypt_body_file(inputPath, outputPath, derive, buffers);
    });
}

void deallocate_buffers()
{
    engine().buffers.reset();
    engine().key.reset();
}
}
