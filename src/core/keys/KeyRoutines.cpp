#include "keys/KeyRoutines.h"

#include <sodium.h>

#include <cstdlib>

namespace {

uint8_t KeyByte(QChar character)
{
    return static_cast<uint8_t>(character.unicode() & 0xFF);
}

bool IsSignificant(QChar character)
{
    return KeyByte(character) > 32;
}

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

QString NormalizeKey(const QString& text)
{
    QString significant;
    significant.reserve(text.size());
    for (QChar character : text) {
        if (IsSignificant(character))
            significant.append(character);
    }
    return significant.toUpper();
}

int SignificantLength(const QString& text)
{
    QString normalized = NormalizeKey(text);
    const int length = static_cast<int>(normalized.size());
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

QString MakeEngineKey(const QString& quickKey)
{
    const QString normalized = NormalizeKey(quickKey);
    // Without a significant character there is nothing to repeat: no key is set.
    if (normalized.isEmpty())
        return QString();
    QString engineKey = normalized;
    while (engineKey.size() < EngineKeyLength)
        engineKey += engineKey;
    engineKey.truncate(EngineKeyLength);
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

void WipeString(QString& text)
{
    if (!text.isEmpty()) {
        text.detach();
        sodium_memzero(text.data(), static_cast<size_t>(text.size()) * sizeof(QChar));
    }
    text.clear();
}

} // namespace Keys
