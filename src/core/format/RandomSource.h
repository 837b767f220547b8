#pragma once
// The generator behind every random choice of the message format (filler, header decoration).
// It is not cryptographic itself: the encrypt pipeline seeds it from the system's cryptographic
// generator for every file (DecorationSeed.h). It repeats itself exactly after reset() and the same
// seed(), which the tests use.

#include <cstdint>

class RandomSource {
  public:
    RandomSource() { reset(); }

    // Back to the fixed initial state.
    void reset();
    // Mixes value into the current state; after reset(), the same value gives the same sequence and
    // different values give different states (multiplying by an odd constant is one-to-one).
    void seed(uint64_t value);
    // Uniform in [0, 1).
    double next();

  private:
    uint64_t state_ = 0;
};
