// SplitMix64: tiny, fast, fully determined by its 64-bit state, and good enough for decoration.

#include "format/RandomSource.h"

namespace {
constexpr uint64_t InitialState = 0x5175696C6C657421ull; // any fixed value; reset() returns here
constexpr uint64_t Increment = 0x9E3779B97F4A7C15ull;
} // namespace

void RandomSource::reset()
{
    state_ = InitialState;
}

void RandomSource::seed(uint64_t value)
{
    state_ ^= value * Increment;
}

double RandomSource::next()
{
    state_ += Increment;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * 0x1.0p-53; // the top 53 bits fill a double's mantissa exactly
}
