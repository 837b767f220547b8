#include "engines/CipherEngine.h"

#include "engines/CipherBody.h"

#include <cstring>
#include <string_view>

using namespace cipher_result;

CipherEngine::CipherEngine(KdfLevel level, const StopFlag* stop) : level_(level), stop_(stop) {}

CipherEngine::~CipherEngine() = default;

// Runs one operation with the prepared key, then wipes the key whatever the outcome.
template <typename Operation> int32_t CipherEngine::with_prepared_key(Operation operation)
{
    std::unique_ptr<GuardedBuffer> key = std::move(key_);
    if (!key)
        return kKeyNotDerivable;
    if (!buffers_ && allocate_buffers() == 0)
        return kOutOfMemory;
    const std::string_view keyBytes(reinterpret_cast<const char*>(key->data()), key->size());
    return operation(cipher_body::argon2id_deriver(keyBytes), *buffers_);
}

int32_t CipherEngine::allocate_buffers()
{
    if (buffers_)
        return 1;
    auto buffers = std::make_unique<cipher_body::ChunkBuffers>();
    if (!buffers->valid())
        return 0;
    buffers_ = std::move(buffers);
    return 1;
}

int32_t CipherEngine::operation_initialization(const char* key64, int32_t /*direction*/, int64_t /*length*/,
                                               int32_t /*reserved*/)
{
    key_.reset();
    const std::size_t length = key64 ? std::strlen(key64) : 0;
    if (length == 0 || length > cipher_body::kMaxKeyBytes)
        return 0;
    auto key = std::make_unique<GuardedBuffer>(length);
    if (!key->valid())
        return 0;
    std::memcpy(key->data(), key64, length);
    key_ = std::move(key);
    return 1;
}

int32_t CipherEngine::encrypt_file(const char* inputPath, const char* outputPath)
{
    const cipher_body::KdfParams params = cipher_body::kdf_params(level_);
    return with_prepared_key([&](const cipher_body::KeyDeriver& derive, cipher_body::ChunkBuffers& buffers) {
        return cipher_body::encrypt_body_file(inputPath, outputPath, params, derive, buffers, stop_);
    });
}

int32_t CipherEngine::decrypt_file(const char* inputPath, const char* outputPath)
{
    return with_prepared_key([&](const cipher_body::KeyDeriver& derive, cipher_body::ChunkBuffers& buffers) {
        return cipher_body::decrypt_body_file(inputPath, outputPath, derive, buffers, stop_);
    });
}

void CipherEngine::deallocate_buffers()
{
    buffers_.reset();
    key_.reset();
}
