#pragma once
// Key routines shared by the key-entry window, the main window, the pipelines and the command line.
// All are pure functions of their arguments. A character is a Unicode code point: a surrogate pair
// counts once and travels whole, so no two keys that differ in a significant character give the
// same engine key. For Latin-1 keys every result is what it was when characters were UTF-16 units.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace CRC {

// Logical right shift by one bit (a zero enters at the top).
uint32_t ShiftRight1(uint32_t value);
// Folds one byte into the running CRC-32 value, bit by bit (reflected polynomial 0xEDB88320).
void UpdateCRC32(uint32_t& crc, uint8_t byte);
// The standard CRC-32 (as zip and PNG use it) over one byte per UTF-16 unit of the text, the unit's
// low byte (for Latin-1 the character code), as exactly 8 upper-case hexadecimal digits with leading
// zeros; "00000000" for "". Only the checksum shown to the user uses it, never the engine key.
QString CRC32Hex(const QString& text);

} // namespace CRC

namespace Keys {

// Fewest and most significant characters (code points) of a key the user may accept.
constexpr int MinKeyLength = 16;
constexpr int MaxKeyLength = 64;
// Characters (code points) of the key handed to the cipher engine, as the UTF-8 bytes of these.
constexpr int EngineKeyLength = 64;

// True when the character counts in a key: its code point is above 32 (space).
bool IsSignificant(char32_t codePoint);
// The significant characters of the text, in order, in upper case. Spaces, tabs, line breaks and
// the C0 control characters never count; neither does letter case.
QString NormalizeKey(const QString& text);
// Number of significant characters: the code points of NormalizeKey(text).
int SignificantLength(const QString& text);
// Number of code points of the text (a surrogate pair is one).
int CharacterCount(const QString& text);
// The checksum (1000..9999) shown to the user in place of the key.
int KeyChecksum(const QString& key);
// The checksum belonging to a CRC-32 value: |signed value| modulo 9000, plus 1000.
int ChecksumFromCrc(uint32_t crc);
// The key for the cipher engine: the characters of NormalizeKey(quickKey) repeated until there are
// 64, as UTF-8 (a lone surrogate, which no keyboard types, as its own three bytes, so it never
// collapses into "?"). Empty when quickKey has no significant character (no key set). The caller
// wipes the result (WipeBytes); every temporary on the way is wiped here.
QByteArray MakeEngineKey(const QString& quickKey);
// The key as accepted: leading and trailing spaces removed, every run of spaces folded into one.
// Both front ends store exactly this, so a key typed in either yields the same checksum.
QString PrepareAcceptedKey(const QString& typed);
// Overwrites the characters of the string where they are stored, then empties it, so the key does
// not linger in freed memory. Only storage this string alone holds is overwritten: a copy that
// shares it (Qt's implicit sharing) is let go of unwiped, since the other holder still reads it and
// the secret leaves memory only with that holder's wipe. So wipe the last holder, after the others
// have let go (a control cleared, a copy emptied). True when no other holder keeps the characters.
bool WipeString(QString& text);
// The same for bytes.
bool WipeBytes(QByteArray& bytes);

} // namespace Keys
