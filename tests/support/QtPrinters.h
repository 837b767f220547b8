#pragma once
// Readable failures: GoogleTest prints these Qt types as their text, with line breaks and other
// control characters shown as escapes, instead of as the bytes of the object. Every test file gets
// this header (tests/CMakeLists.txt puts it in front), so each type prints the same way everywhere.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <ostream>

namespace qt_printers {

inline void PrintEscaped(const QByteArray& bytes, std::ostream* os)
{
    constexpr qsizetype Shown = 400; // longer values are cut: the start tells them apart
    *os << '"';
    for (qsizetype i = 0; i < bytes.size() && i < Shown; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r')
            *os << "\\r";
        else if (byte == '\n')
            *os << "\\n";
        else if (byte == '\t')
            *os << "\\t";
        else if (byte == '"' || byte == '\\')
            *os << '\\' << static_cast<char>(byte);
        else if (byte < 0x20 || byte == 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            *os << escape;
        } else
            *os << static_cast<char>(byte);
    }
    *os << '"';
    if (bytes.size() > Shown)
        *os << "... (" << bytes.size() << " bytes)";
}

} // namespace qt_printers

inline void PrintTo(const QString& text, std::ostream* os)
{
    qt_printers::PrintEscaped(text.toUtf8(), os);
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << "bytes ";
    qt_printers::PrintEscaped(bytes, os);
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            *os << ", ";
        PrintTo(list[i], os);
    }
    *os << '}';
}
