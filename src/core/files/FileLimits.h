#pragma once
// Limits of the file fields and the checks behind them, shared by the window and the command line.

#include <QString>

namespace FileLimits {

constexpr qint64 MaxTextFileSize = 61440;       // largest file loaded into the text box
constexpr qint64 MaxAppendedFileSize = 2027520; // largest file to append (0x1EF000)
constexpr int MaxFileNameLength = 990;          // longest name of the file to append, in characters

// n with the digit grouping of the language (German when german, else English), " bytes" (" Bytes"
// when german) and, above 1024, " (<n/1024> KB)";
// "" for a negative n.
QString FormatSizeLimit(qint64 n, bool german);

enum class AppendCheck { Ok, NameTooLong, TooLarge, Empty, Unreadable };

// Whether a file name (the part after the last separator) is short enough to travel.
bool FileNameLengthOk(const QString& fileName);

// Which refusal, if any, applies to a file chosen to append, in this order: name too long, not a
// readable regular file (missing, a folder, a pipe or device, no read permission), too large, empty.
AppendCheck CheckFileToAppend(const QString& path);

} // namespace FileLimits
