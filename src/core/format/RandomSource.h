#pragma once
// The generator behind every random choice of the message format (filler, header decoration).
// It is deliberately not cryptographic: what it draws is either decoration or sits inside the
// encryption, and it must repeat itself exactly after reset() and the same seed().

#include <cstdint>

class RandomSource {
  public:
    RandomSource() { reset(); }

    // Back to the fixed initial state.
    void reset();
    // Mixes value into the current state; after reset(), the same value gives the same sequence.
    void seed(uint32_t value);
    // Uniform in [0, 1).
    double next();

  private:
    uint64_t state_ = 0;
};
