#include "format/ArmoredText.h"

#include <QList>

namespace Armor {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// A line without the quote marks and indentation a mail client puts in front of it, and without
// trailing white space.
QByteArray Unquoted(const QByteArray& line)
{
    qsizetype start = 0;
    while (start < line.size() && (IsBlank(line.at(start)) || line.at(start) == '>'))
        ++start;
    qsizetype end = line.size();
    while (end > start && IsBlank(line.at(end - 1)))
        --end;
    return line.mid(start, end - start);
}

bool IsBase64Character(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' ||
           c == '=';
}

// The Base64 of the lines between begin and end with white space removed; false when any other
// character stands there.
bool CollectBase64(const QList<QByteArray>& lines, qsizetype first, qsizetype end, QByteArray& base64)
{
    for (qsizetype i = first; i < end; ++i) {
        for (const char c : Unquoted(lines[i])) {
            if (IsBlank(c))
                continue;
            if (!IsBase64Character(c))
                return false;
            base64.append(c);
        }
    }
    return true;
}

// One encoding per file: Qt's decoder accepts missing padding and stray bits in the last
// character, so the result is encoded again and must give back exactly what was read.
bool DecodeCanonical(const QByteArray& base64, QByteArray& bytes)
{
    if (base64.isEmpty() || base64.size() % 4 != 0)
        return false;
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.toBase64() != base64)
        return false;
    bytes = std::move(decoded.decoded);
    return true;
}

} // namespace

QByteArray Encode(const QByteArray& ciphertextFile)
{
    const QByteArray base64 = ciphertextFile.toBase64();
    QByteArray text;
    text.reserve(base64.size() + base64.size() / LineLength + sizeof BeginLine + sizeof EndLine + 4);
    text.append(BeginLine).append('\n');
    for (qsizetype at = 0; at < base64.size(); at += LineLength)
        text.append(base64.mid(at, LineLength)).append('\n');
    text.append(EndLine).append('\n');
    return text;
}

Decoded Decode(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    qsizetype begin = -1, end = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = Unquoted(lines[i]);
        if (line == BeginLine) {
            // A second begin line, cut short or not: which block is meant cannot be told.
            if (begin >= 0)
                return {Found::TwoBlocks, {}};
            begin = i;
        } else if (line == EndLine && begin >= 0 && end < 0) {
            end = i;
        }
    }
    if (begin < 0)
        return {};
    if (end < 0)
        return {Found::Unended, {}};
    Decoded result;
    QByteArray base64;
    result.found = CollectBase64(lines, begin + 1, end, base64) && DecodeCanonical(base64, result.ciphertextFile)
                       ? Found::Ok
                       : Found::Damaged;
    return result;
}

bool LooksBinary(const QByteArray& bytes)
{
    return bytes.startsWith("PK\x03\x04");
}

} // namespace Armor
