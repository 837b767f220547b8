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

// The text as it is read: a byte-order mark (the editor that saved it) dropped, no-break spaces
// (a mail program's indentation; UTF-8 or a lone Latin-1 byte) made spaces, and every line end, CR
// LF or a lone CR (older Mac mail), made LF.
QByteArray Normalised(const QByteArray& text)
{
    QByteArray normal = text;
    normal.replace("\xEF\xBB\xBF", "");
    normal.replace("\xC2\xA0", " ");
    normal.replace('\xA0', ' ');
    normal.replace("\r\n", "\n");
    normal.replace('\r', '\n');
    return normal;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The quoted-printable decoding of a text part as a saved e-mail holds it (RFC 2045): "=" and two
// hex digits stand for a byte, "=" at the end of a line (white space may follow it) joins the line
// with the next. Anything else stays as it is.
QByteArray QuotedPrintableDecoded(const QByteArray& text)
{
    QByteArray decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != '=') {
            decoded.append(text.at(i));
            continue;
        }
        qsizetype after = i + 1;
        while (after < text.size() && (text.at(after) == ' ' || text.at(after) == '\t'))
            ++after;
        if (after < text.size() && (text.at(after) == '\n' || text.at(after) == '\r')) {
            i = after + (text.at(after) == '\r' && after + 1 < text.size() && text.at(after + 1) == '\n' ? 1 : 0);
            continue; // a soft line break
        }
        const int high = i + 2 < text.size() ? HexValue(text.at(i + 1)) : -1;
        const int low = high >= 0 ? HexValue(text.at(i + 2)) : -1;
        if (low < 0) {
            decoded.append('=');
            continue;
        }
        decoded.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return decoded;
}

// True when the text shows the marks of quoted-printable: an encoded "=" or a soft line break.
bool MayBeQuotedPrintable(const QByteArray& text)
{
    return text.contains("=3D") || text.contains("=3d") || text.contains("=\n") || text.contains("=\r\n");
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

namespace {

Decoded DecodeNormalised(const QByteArray& text)
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

} // namespace

Decoded Decode(const QByteArray& text)
{
    Decoded asItStands = DecodeNormalised(Normalised(text));
    if (asItStands.found == Found::Ok || !MayBeQuotedPrintable(text))
        return asItStands;
    // A saved e-mail whose text part is quoted-printable: every "=" of the Base64 reads "=3D" and
    // long (quoted) lines are broken with "=". The block is what the part says once decoded.
    Decoded decoded = DecodeNormalised(Normalised(QuotedPrintableDecoded(text)));
    const bool blockOnlyOnceDecoded = asItStands.found == Found::NoBlock && decoded.found != Found::NoBlock;
    if (decoded.found == Found::Ok || decoded.found == Found::TwoBlocks || blockOnlyOnceDecoded)
        return decoded;
    return asItStands;
}

bool LooksBinary(const QByteArray& bytes)
{
    return bytes.startsWith("PK\x03\x04");
}

} // namespace Armor
