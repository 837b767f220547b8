#include "keys/KeyRoutines.h"

#include <sodium.h>

#include <cstdlib>

namespace {

uint8_t KeyByte(QChar character)
{
    return static_cast<uint8_t>(character.unicode() & 0xFF);
}

// The code point at position i and the number of UTF-16 units it takes (2 for a surrogate pair, 1
// for anything else, a lone surrogate included).
char32_t CodePointAt(const QString& text, qsizetype i, qsizetype& units)
{
    const QChar first = text.at(i);
    if (first.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(first, text.at(i + 1));
    }
    units = 1;
    return first.unicode();
}

// UTF-8 of one code point. A lone surrogate gets the three bytes its value would have, so keys that
// differ in one stay different.
void AppendUtf8(QByteArray& bytes, char32_t codePoint)
{
    if (codePoint < 0x80) {
        bytes.append(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        bytes.append(static_cast<char>(0xC0 | (codePoint >> 6)));
        bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        bytes.append(static_cast<char>(0xE0 | (codePoint >> 12)));
        bytes.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        bytes.append(static_cast<char>(0xF0 | (codePoint >> 18)));
        bytes.append(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        bytes.append(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.append(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// The longest UTF-8 form of one code point.
constexpr int MaxUtf8Bytes = 4;
// The most UTF-16 units the upper case of one unit takes (U+0390 becomes three characters).
constexpr int MaxUpperCaseGrowth = 3;

} // namespace

namespace CRC {

uint32_t ShiftRight1(uint32_t value)
{
    return value >> 1;
}

void UpdateCRC32(uint32_t& crc, uint8_t byte)
{
    constexpr uint32_t ReflectedPolynomial = 0xEDB88320u;
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
        const bool lowBitSet = (crc & 1u) != 0;
        crc = ShiftRight1(crc);
        if (lowBitSet)
            crc ^= ReflectedPolynomial;
    }
}

QString CRC32Hex(const QString& text)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (QChar character : text)
        UpdateCRC32(crc, KeyByte(character));
    crc = ~crc;
    return QString::number(crc, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

} // namespace CRC

namespace Keys {

bool IsSignificant(char32_t codePoint)
{
    return codePoint > 32;
}

QString NormalizeKey(const QString& text)
{
    // Room for the longest upper case too, so that neither the appends nor the conversion in place
    // reallocate: a reallocation would leave a piece of the key in freed memory.
    QString significant;
    significant.reserve(text.size() * MaxUpperCaseGrowth);
    qsizetype units = 1;
    for (qsizetype i = 0; i < text.size(); i += units) {
        if (IsSignificant(CodePointAt(text, i, units)))
            significant.append(text.constData() + i, units);
    }
    return std::move(significant).toUpper();
}

int CharacterCount(const QString& text)
{
    int count = 0;
    qsizetype units = 1;
    for (qsizetype i = 0; i < text.size(); i += units) {
        CodePointAt(text, i, units);
        ++count;
    }
    return count;
}

int SignificantLength(const QString& text)
{
    QString normalized = NormalizeKey(text);
    const int length = CharacterCount(normalized);
    // Called on every keystroke and clock tick: no normalised copy of the key is left behind.
    WipeString(normalized);
    return length;
}

int ChecksumFromCrc(uint32_t crc)
{
    // Taken as a signed value; the remainder of a truncating division never overflows, even for
    // the most negative value, and its absolute value equals |v| modulo 9000.
    const int32_t value = static_cast<int32_t>(crc);
    return std::abs(value % 9000) + 1000;
}

int KeyChecksum(const QString& key)
{
    QString normalized = NormalizeKey(key);
    const QString hex = CRC::CRC32Hex(normalized);
    WipeString(normalized);
    return ChecksumFromCrc(hex.toUInt(nullptr, 16));
}

QByteArray MakeEngineKey(const QString& quickKey)
{
    QString normalized = NormalizeKey(quickKey);
    QByteArray engineKey;
    // Without a significant character there is nothing to repeat: no key is set.
    if (normalized.isEmpty())
        return engineKey;
    engineKey.reserve(EngineKeyLength * MaxUtf8Bytes);
    int characters = 0;
    while (characters < EngineKeyLength) {
        qsizetype units = 1;
        for (qsizetype i = 0; i < normalized.size() && characters < EngineKeyLength; i += units, ++characters)
            AppendUtf8(engineKey, CodePointAt(normalized, i, units));
    }
    WipeString(normalized);
    return engineKey;
}

QString PrepareAcceptedKey(const QString& typed)
{
    const QChar space = QLatin1Char(' ');
    qsizetype first = 0;
    qsizetype last = typed.size();
    while (first < last && typed.at(first) == space)
        ++first;
    while (last > first && typed.at(last - 1) == space)
        --last;

    QString accepted;
    accepted.reserve(last - first);
    for (qsizetype i = first; i < last; ++i) {
        const QChar character = typed.at(i);
        if (character == space && accepted.endsWith(space))
            continue;
        accepted.append(character);
    }
    return accepted;
}

// Overwriting a copy made for the purpose would wipe the copy and leave the secret where it is;
// storage another holder still reads (or raw data the array does not own) is that holder's to wipe.
bool WipeString(QString& text)
{
    const bool own = text.isEmpty() || text.isDetached();
    if (own && !text.isEmpty())
        sodium_memzero(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
    text.clear();
    return own;
}

bool WipeBytes(QByteArray& bytes)
{
    const bool own = bytes.isEmpty() || bytes.isDetached();
    if (own && !bytes.isEmpty())
        sodium_memzero(bytes.data(), static_cast<size_t>(bytes.size()));
    bytes.clear();
    return own;
}

} // namespace Keys
