#pragma once
// The key and the key derivation of the engine-body target, shared with the seed maker so that
// its seeds pass the key check and lead the fuzzer into the chunks.

#include "engines/CipherBody.h"

namespace fuzz {

inline constexpr std::string_view kEngineBodyKey = "fuzzing key of the engine body target";

// Argon2id at the lowest parameters a reader accepts, so that one input costs microseconds.
// Bodies asking for more are refused before anything is derived.
inline cipher_body::KeyDeriver LowestBoundsDeriver()
{
    const cipher_body::KeyDeriver argon2id = cipher_body::argon2id_deriver(kEngineBodyKey);
    return [argon2id](const cipher_body::BodyHeader& header, cipher_body::BodyKeys& keys) {
        if (header.kdf.opsLimit != cipher_body::kKdfMin.opsLimit ||
            header.kdf.memLimitKiB != cipher_body::kKdfMin.memLimitKiB)
            return cipher_result::kKeyNotDerivable;
        return argon2id(header, keys);
    };
}

} // namespace fuzz
