#include "texts/TerminalText.h"

namespace TerminalText {

namespace {

bool IsContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF)
{
    return byte >= low && byte <= high;
}

// The length of the valid UTF-8 sequence at bytes[i] and its code point; 0 when the bytes there
// are not valid UTF-8 (a stray continuation, an overlong form, a surrogate, beyond U+10FFFF, cut).
qsizetype DecodeAt(QByteArrayView bytes, qsizetype i, char32_t& codePoint)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[i + k]); };
    const unsigned char lead = at(0);
    const qsizetype left = bytes.size() - i;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF && left >= 2 && IsContinuation(at(1))) {
        codePoint = (lead & 0x1Fu) << 6 | (at(1) & 0x3Fu);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && left >= 3) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        if (IsContinuation(at(1), low, high) && IsContinuation(at(2))) {
            codePoint = (lead & 0x0Fu) << 12 | (at(1) & 0x3Fu) << 6 | (at(2) & 0x3Fu);
            return 3;
        }
    }
    if (lead >= 0xF0 && lead <= 0xF4 && left >= 4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        if (IsContinuation(at(1), low, high) && IsContinuation(at(2)) && IsContinuation(at(3))) {
            codePoint = (lead & 0x07u) << 18 | (at(1) & 0x3Fu) << 12 | (at(2) & 0x3Fu) << 6 | (at(3) & 0x3Fu);
            return 4;
        }
    }
    return 0;
}

// A CR stays only as part of a CR LF line end: alone, it returns the cursor to the line's start and
// lets what follows cover what stood before ("Pay Alice\rPay Mallory").
bool IsControl(char32_t c, bool beforeLineFeed, LineBreaks lineBreaks)
{
    if (lineBreaks == LineBreaks::Keep && (c == U'\t' || c == U'\n' || (c == U'\r' && beforeLineFeed)))
        return false;
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void AppendEscaped(QByteArray& out, QByteArrayView bytes)
{
    for (const char byte : bytes)
        out += "\\x" + QByteArray::number(static_cast<unsigned char>(byte), 16).rightJustified(2, '0').toUpper();
}

} // namespace

QByteArray Escape(QByteArrayView bytes, LineBreaks lineBreaks)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        const qsizetype length = DecodeAt(bytes, i, codePoint);
        if (length == 0) {
            AppendEscaped(out, bytes.sliced(i, 1));
            ++i;
            continue;
        }
        // A C1 control is escaped as its code point, not as its two UTF-8 bytes.
        const bool beforeLineFeed = i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (IsControl(codePoint, beforeLineFeed, lineBreaks))
            AppendEscaped(out, QByteArray(1, static_cast<char>(codePoint)));
        else
            out += bytes.sliced(i, length);
        i += length;
    }
    return out;
}

QString Escape(const QString& text, LineBreaks lineBreaks)
{
    return QString::fromUtf8(Escape(QByteArrayView(text.toUtf8()), lineBreaks));
}

} // namespace TerminalText
