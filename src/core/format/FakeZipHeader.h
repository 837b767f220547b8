#pragma once
// The header in front of every ciphertext file: the 30-byte fixed part of a ZIP local file header
// and a made-up file name. Everything in it is decoration except the byte at HeaderLengthOffset,
// which tells the reader where the engine output starts.

#include "format/RandomSource.h"

#include <QByteArray>
#include <cstdint>

constexpr int FixedHeaderLength = 30;
constexpr int HeaderLengthOffset = 11;
constexpr int MinStemLength = 3;
constexpr int MaxStemLength = 8;
// Eleven three-letter extensions: doc xls txt xml prn pdf ppt rtf odt ods lwp.
inline constexpr char FakeNameExtensions[] = "docxlstxtxmlprnpdfpptrtfodtodslwp";

// v as a little-endian 32-bit integer, least significant byte first.
QByteArray LongToBytes4(uint32_t v);

// value * percent / 100 rounded to the nearest integer, halves to the even neighbour. Exact integer
// arithmetic; a result above the 32-bit signed range is held at its largest value.
int32_t RoundedPercent(int64_t value, int percent);
// Stated uncompressed size: (100 + q) percent of the engine output length B.
int32_t StatedUncompressedSize(int64_t bodyLength, int q);
// Stated compressed size: p percent of the stated uncompressed size.
int32_t StatedCompressedSize(int32_t uncompressedSize, int p);

// The header for an engine output of bodyLength bytes; its length is 37 to 42 and equals its byte 11.
QByteArray MakeFakeZipHeader(RandomSource& rng, int64_t bodyLength);
