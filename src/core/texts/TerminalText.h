#pragma once
// Text bound for a terminal. A terminal obeys control sequences hidden in what it prints: a hostile
// message or file name could set the window title, put text on the clipboard or redraw the screen.
// Everything printed there that came from a file or a sender passes through here first.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace TerminalText {

enum class LineBreaks { Keep, Escape };

// The bytes with every C0 control (U+0000–U+001F), DEL and C1 control (U+0080–U+009F) written as
// \xHH, and every byte that is not part of valid UTF-8 written as \xHH too (an 8-bit terminal would
// take 0x9B for a control sequence introducer). Tab, line feed and a carriage return followed by a
// line feed stay as they are with LineBreaks::Keep (a message); a lone carriage return is escaped,
// as it would let the rest of its line cover what stands before it. LineBreaks::Escape (a name)
// escapes all three.
QByteArray Escape(QByteArrayView bytes, LineBreaks lineBreaks);

// The same for a text that is printed as UTF-8; a name keeps its line breaks escaped by default.
QString Escape(const QString& text, LineBreaks lineBreaks = LineBreaks::Escape);

} // namespace TerminalText
