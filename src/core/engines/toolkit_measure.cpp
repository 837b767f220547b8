// The randomness measure of the toolkit: the Shannon entropy of the byte distribution, in bits per
// byte, divided by 8. 0 means one byte value throughout (fully predictable); 1 means every one of
// the 256 values equally often, which good ciphertext approaches. Ordinary text lands near 0.5-0.6.
// A short sample cannot reach the top (n bytes hold at most log2(n) bits each), which is why a
// minimum length is asked for.

#include "engines/toolkit.h"

#include <array>
#include <cmath>

namespace {

double NormalisedByteEntropy(const unsigned char* bytes, int32_t length)
{
    std::array<int64_t, 256> counts{};
    for (int32_t i = 0; i < length; ++i)
        ++counts[bytes[i]];
    double bits = 0.0;
    for (const int64_t count : counts) {
        if (count == 0)
            continue;
        const double share = double(count) / double(length);
        bits -= share * std::log2(share);
    }
    return bits / 8.0;
}

} // namespace

extern "C" double randomness_measure(const char* text, int32_t length, int16_t minimumLength)
{
    if (text == nullptr || length <= 0 || length < minimumLength)
        return -1.0;
    return NormalisedByteEntropy(reinterpret_cast<const unsigned char*>(text), length);
}

extern "C" int32_t udh3()
{
    return 1;
}
