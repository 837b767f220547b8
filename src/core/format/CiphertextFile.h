#pragma once
// Reading a ciphertext file: the header whose length stands in byte 11, then the engine output.

#include <QByteArray>
#include <cstdint>

constexpr int NotCiphertextFileText = 407; // program text: too short, or header length past the end

struct CiphertextSplit {
    bool ok = false;      // false: not a ciphertext file (shorter than 12 bytes, or h past its end)
    int headerLength = 0; // h, the byte at offset 11
    QByteArray body;      // everything from offset h on (may be empty)
};

CiphertextSplit SplitCiphertextFile(const QByteArray& file);

// The header fields, as a ZIP reader would name them, for showing a file's header.
struct CiphertextHeaderInfo {
    bool ok = false;                     // false: not a ciphertext file, or shorter than the 30-byte fixed part
    bool zipSignature = false;           // starts with 50 4B 03 04
    uint16_t versionNeeded = 0;          // offset 4
    uint16_t flags = 0;                  // offset 6
    uint16_t method = 0;                 // offset 8
    int headerLength = 0;                // offset 11
    uint32_t statedCompressedSize = 0;   // offset 18
    uint32_t statedUncompressedSize = 0; // offset 22
    uint16_t nameLength = 0;             // offset 26
    uint16_t extraLength = 0;            // offset 28
    QByteArray name;                     // from offset 30, at most nameLength bytes and never past h
    int64_t bodyLength = 0;              // bytes after the header
};

CiphertextHeaderInfo DescribeCiphertextHeader(const QByteArray& file);
