#include "format/DecorationSeed.h"

#include <sodium.h>

uint64_t FreshSeed()
{
    uint64_t seed = 0;
    randombytes_buf(&seed, sizeof seed);
    return seed;
}

RandomSource FreshRandomSource()
{
    RandomSource rng;
    rng.reset();
    rng.seed(FreshSeed());
    return rng;
}
