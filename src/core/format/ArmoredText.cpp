#include "format/ArmoredText.h"

#include <array>
#include <cstring>
#include <optional>

namespace Armor {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr qsizetype BeginLineLength = sizeof BeginLine - 1;
constexpr qsizetype EndLineLength = sizeof EndLine - 1;

// White space inside a line: ASCII only (a no-break space has been made a space before).
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

// What a character of the block stands for: its six bits, or one of these.
enum : signed char { Foreign = -1, Padding = -2, Blank = -3 };

constexpr std::array<signed char, 256> Base64Values()
{
    std::array<signed char, 256> values{};
    for (auto& value : values)
        value = Foreign;
    for (int i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(Alphabet[i])] = static_cast<signed char>(i);
    values['='] = Padding;
    for (const char c : {' ', '\t', '\f', '\v'})
        values[static_cast<unsigned char>(c)] = Blank;
    return values;
}

constexpr std::array<signed char, 256> Values = Base64Values();

// The bytes that make a text need preparing before it is read: a byte-order mark (EF BB BF), a
// no-break space (C2 A0, or A0 alone) and CR.
bool NeedsNormalising(const QByteArray& text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0xEF || byte == 0xA0 || c == '\r')
            return true;
    }
    return false;
}

// The text as it is read: a byte-order mark (the editor that saved it) dropped, no-break spaces
// (a mail program's indentation; UTF-8 or a lone Latin-1 byte) made spaces, and every line end, CR
// LF or a lone CR (older Mac mail), made LF. The marks are dropped first, so a no-break space or a
// CR LF that one of them split counts as one. Two passes over one copy, each in place.
QByteArray Normalised(const QByteArray& text)
{
    QByteArray normal(text.size(), Qt::Uninitialized);
    char* out = normal.data();
    const char* in = text.constData();
    const qsizetype size = text.size();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (in[i] == '\xEF' && i + 2 < size && in[i + 1] == '\xBB' && in[i + 2] == '\xBF') {
            i += 2;
            continue;
        }
        out[kept++] = in[i];
    }
    qsizetype written = 0;
    for (qsizetype i = 0; i < kept; ++i) {
        const char c = out[i];
        if (c == '\xC2' && i + 1 < kept && out[i + 1] == '\xA0') {
            out[written++] = ' ';
            ++i;
        } else if (c == '\xA0') {
            out[written++] = ' ';
        } else if (c == '\r') {
            out[written++] = '\n';
            if (i + 1 < kept && out[i + 1] == '\n')
                ++i;
        } else {
            out[written++] = c;
        }
    }
    normal.truncate(written);
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

// A line without the quote marks and indentation a mail client puts in front of it, and without
// white space at its end.
QByteArrayView Unquoted(const char* line, qsizetype length)
{
    qsizetype start = 0;
    while (start < length && (IsBlank(line[start]) || line[start] == '>'))
        ++start;
    qsizetype end = length;
    while (end > start && IsBlank(line[end - 1]))
        --end;
    return QByteArrayView(line + start, end - start);
}

bool Is(QByteArrayView line, const char* marker, qsizetype markerLength)
{
    return line.size() == markerLength && std::memcmp(line.data(), marker, markerLength) == 0;
}

// Decodes the Base64 between the two lines as it is read, straight into the file's bytes, and
// judges it as it goes: only one spelling of each file is accepted (length a multiple of four,
// padding only at the end and only as much as the length needs, the unused low bits of the last
// character zero), so no re-encoding is needed to find out.
class Base64Reader {
  public:
    // capacity: at least the number of characters that may follow.
    explicit Base64Reader(qsizetype capacity) : bytes_(capacity / 4 * 3 + 3, Qt::Uninitialized) {}

    void Read(QByteArrayView characters)
    {
        for (const char c : characters) {
            const signed char value = Values[static_cast<unsigned char>(c)];
            if (value == Blank)
                continue;
            if (value == Foreign || ended_) {
                damaged_ = true;
                return;
            }
            if (value == Padding) {
                if (inQuantum_ < 2) { // "=" may stand only third or fourth
                    damaged_ = true;
                    return;
                }
                ++padding_;
            } else if (padding_ > 0) { // a character after "="
                damaged_ = true;
                return;
            } else {
                bits_ = bits_ << 6 | static_cast<quint32>(value);
            }
            if (++inQuantum_ == 4)
                Flush();
        }
    }

    bool Damaged() const { return damaged_; }

    // The file, or false when the Base64 is not the one spelling of a file.
    bool Finish(QByteArray& file)
    {
        if (damaged_ || inQuantum_ != 0 || written_ == 0)
            return false;
        bytes_.truncate(written_);
        file = std::move(bytes_);
        return true;
    }

  private:
    void Flush()
    {
        char* out = bytes_.data() + written_;
        if (padding_ == 0) {
            out[0] = static_cast<char>(bits_ >> 16);
            out[1] = static_cast<char>(bits_ >> 8);
            out[2] = static_cast<char>(bits_);
            written_ += 3;
        } else if (padding_ == 1) { // three characters: 18 bits for two bytes, the last 2 zero
            damaged_ = (bits_ & 0x3) != 0;
            out[0] = static_cast<char>(bits_ >> 10);
            out[1] = static_cast<char>(bits_ >> 2);
            written_ += 2;
        } else { // two characters: 12 bits for one byte, the last 4 zero
            damaged_ = (bits_ & 0xF) != 0;
            out[0] = static_cast<char>(bits_ >> 4);
            written_ += 1;
        }
        ended_ = padding_ > 0;
        bits_ = 0;
        inQuantum_ = 0;
    }

    QByteArray bytes_;
    qsizetype written_ = 0;
    quint32 bits_ = 0;
    int inQuantum_ = 0;
    int padding_ = 0;
    bool ended_ = false; // a padded quantum closes the Base64: nothing may follow it
    bool damaged_ = false;
};

// One pass over the lines: the begin line, the Base64 decoded as it comes, the end line, and a
// look at the rest for a second begin line.
Decoded DecodeNormalised(const QByteArray& text)
{
    enum class Stage { Before, Inside, After } stage = Stage::Before;
    std::optional<Base64Reader> base64;
    const char* const data = text.constData();
    const qsizetype size = text.size();
    for (qsizetype at = 0; at <= size;) {
        const char* const lineEnd = static_cast<const char*>(std::memchr(data + at, '\n', size - at));
        const qsizetype length = lineEnd ? lineEnd - (data + at) : size - at;
        const QByteArrayView line = Unquoted(data + at, length);
        at += length + 1;
        if (Is(line, BeginLine, BeginLineLength)) {
            // A second begin line, cut short or not: which block is meant cannot be told.
            if (stage != Stage::Before)
                return {Found::TwoBlocks, {}};
            stage = Stage::Inside;
            base64.emplace(size - at);
        } else if (stage == Stage::Inside && Is(line, EndLine, EndLineLength)) {
            stage = Stage::After;
        } else if (stage == Stage::Inside && !base64->Damaged()) {
            base64->Read(line);
        }
    }
    if (stage == Stage::Before)
        return {};
    if (stage == Stage::Inside)
        return {Found::Unended, {}};
    Decoded result;
    result.found = base64->Finish(result.ciphertextFile) ? Found::Ok : Found::Damaged;
    return result;
}

} // namespace

qsizetype EncodedSize(qsizetype fileSize)
{
    const qsizetype characters = (fileSize + 2) / 3 * 4;
    const qsizetype lines = (characters + LineLength - 1) / LineLength;
    return BeginLineLength + 1 + characters + lines + EndLineLength + 1;
}

QByteArray Encode(const QByteArray& ciphertextFile)
{
    QByteArray text(EncodedSize(ciphertextFile.size()), Qt::Uninitialized);
    char* out = text.data();
    const auto put = [&out](const char* line, qsizetype length) {
        std::memcpy(out, line, length);
        out += length;
        *out++ = '\n';
    };
    put(BeginLine, BeginLineLength);
    const auto* in = reinterpret_cast<const unsigned char*>(ciphertextFile.constData());
    const qsizetype size = ciphertextFile.size();
    int onLine = 0;
    for (qsizetype i = 0; i < size; i += 3) {
        const qsizetype left = size - i;
        const quint32 bits =
            quint32(in[i]) << 16 | (left > 1 ? quint32(in[i + 1]) << 8 : 0) | (left > 2 ? in[i + 2] : 0);
        out[0] = Alphabet[bits >> 18];
        out[1] = Alphabet[(bits >> 12) & 0x3F];
        out[2] = left > 1 ? Alphabet[(bits >> 6) & 0x3F] : '=';
        out[3] = left > 2 ? Alphabet[bits & 0x3F] : '=';
        out += 4;
        if ((onLine += 4) == LineLength || left <= 3) {
            *out++ = '\n';
            onLine = 0;
        }
    }
    put(EndLine, EndLineLength);
    return text;
}

Decoded Decode(const QByteArray& text)
{
    Decoded asItStands = DecodeNormalised(NeedsNormalising(text) ? Normalised(text) : text);
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
