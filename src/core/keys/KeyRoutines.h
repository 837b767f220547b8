#pragma once
// Key routines shared by the key-entry window, the main window, the pipelines and the command line.
// All are pure functions of their arguments. Every character of a key contributes one byte: the low
// 8 bits of its UTF-16 code unit (for Latin-1 characters, the character code itself).

#include <QString>

#include <cstdint>

namespace CRC {

// Logical right shift by one bit (a zero enters at the top).
uint32_t ShiftRight1(uint32_t value);
// Folds one byte into the running CRC-32 value, bit by bit (reflected polynomial 0xEDB88320).
void UpdateCRC32(uint32_t& crc, uint8_t byte);
// The standard CRC-32 (as zip and PNG use it) of the bytes of the text as exactly 8 upper-case
// hexadecimal digits, with leading zeros; "00000000" for "".
QString CRC32Hex(const QString& text);

} // namespace CRC

namespace Keys {

// Fewest and most significant characters of a key the user may accept.
constexpr int MinKeyLength = 16;
constexpr int MaxKeyLength = 64;
// Length of the key handed to the cipher engine (as the UTF-8 bytes of these characters).
constexpr int EngineKeyLength = 64;

// The significant characters (byte above 32) of the text, in order, in upper case.
// Spaces, tabs, line breaks and control characters never count; neither does letter case.
QString NormalizeKey(const QString& text);
// Number of significant characters: the length of NormalizeKey(text).
int SignificantLength(const QString& text);
// The checksum (1000..9999) shown to the user in place of the key.
int KeyChecksum(const QString& key);
// The checksum belonging to a CRC-32 value: |signed value| modulo 9000, plus 1000.
int ChecksumFromCrc(uint32_t crc);
// The 64-character key for the cipher engine: NormalizeKey(quickKey) repeated to at least 64
// characters, first 64 kept. "" when quickKey has no significant character (no key set).
QString MakeEngineKey(const QString& quickKey);
// The key as accepted: leading and trailing spaces removed, every run of spaces folded into one.
// Both front ends store exactly this, so a key typed in either yields the same checksum.
QString PrepareAcceptedKey(const QString& typed);
// Overwrites the characters of the string in place, then empties it, so the key does not linger
// in freed memory. Detaches first: only the data this string holds is overwritten.
void WipeString(QString& text);

} // namespace Keys
