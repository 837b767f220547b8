#pragma once
// Random integers, strings, words and list entries drawn from an explicitly passed generator.

#include "format/RandomSource.h"

#include <QByteArray>

// The integer part of (b - a + 1) * r plus a, r from rng. With evenOnly an odd result moves to its
// even neighbour: up when it equals a, down otherwise.
int RandomInteger(RandomSource& rng, int a, int b, bool evenOnly);

// A string whose length is a random integer from minLength to maxLength and whose bytes have codes
// from minCode to maxCode (0 to 255). quick false: every byte drawn by itself. quick true: 4096
// bytes drawn, then pieces of them (start 1 to 3900, 20 to 160 bytes) appended up to the length.
QByteArray RandomString(RandomSource& rng, int minLength, int maxLength, int minCode, int maxCode, bool quick);

// The 238-letter alphabet of random words: every consonant 8 times and every vowel 14 times, both
// cases together. withSpaces adds 48 spaces to each of its two 114-letter parts.
QByteArray WordAlphabet(bool withSpaces);

// A word of minLength to maxLength letters drawn from WordAlphabet (trimmed when withSpaces), its
// first letter upper case; "" when maxLength is 0. quick as for RandomString.
QByteArray RandomWord(RandomSource& rng, int minLength, int maxLength, bool withSpaces, bool quick);

// One three-character entry of list, each equally likely; "" for a list shorter than 3.
QByteArray RandomListEntry(RandomSource& rng, const QByteArray& list);
