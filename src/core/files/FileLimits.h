#pragma once
// Limits of the file fields and the checks behind them, shared by the window and the command line.

#include "format/AttachedFileName.h"

#include <QString>

namespace FileLimits {

constexpr qint64 MaxTextFileSize = 61440;       // largest file loaded into the text box
constexpr qint64 MaxAppendedFileSize = 2027520; // largest file to append (0x1EF000)
// Longest name of the file to append as it travels (lower-cased, in UTF-8): the longest a reader
// writes as it stands, so the name the sender sees is the name the recipient gets.
constexpr qsizetype MaxFileNameBytes = MaxAttachedNameBytes;

// n with the digit grouping of the language (German when german, else English), " bytes" (" Bytes"
// when german) and, above 1024, " (<n/1024> KB)";
// "" for a negative n.
QString FormatSizeLimit(qint64 n, bool german);

enum class AppendCheck { Ok, NameTooLong, TooLarge, Empty, Unreadable };

// Whether a name as it travels (the part of the path after its last "/" or "\", lower-cased) can
// be sent: 1 to MaxFileNameBytes bytes in UTF-8. An empty one (a path ending in "\") would read
// as no file at all.
bool FileNameLengthOk(const QString& travellingName);

// Which refusal, if any, applies to a file chosen to append, in this order: name too long, not a
// readable regular file (missing, a folder, a pipe or device, no read permission), too large, empty.
AppendCheck CheckFileToAppend(const QString& path);

} // namespace FileLimits
