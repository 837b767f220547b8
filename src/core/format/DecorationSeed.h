#pragma once
// Seeds for the encrypt pipeline's random choices: a fresh one per file from the system's
// cryptographic generator. Nothing in the clear header may depend on the message or the key, or
// anyone could recompute the decoration for a guessed message and confirm the guess.

#include "format/RandomSource.h"

#include <cstdint>

// 64 bits from libsodium's randombytes (the kernel's generator).
uint64_t FreshSeed();

// A generator reset and seeded with FreshSeed(). Each use gets its own: the decoration of the
// header (in clear) and the filler (inside the encryption) come from two of them, so the header
// tells nothing about the filler's length and through it about the message's.
RandomSource FreshRandomSource();
