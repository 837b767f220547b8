#pragma once
// The text-file test that runs before a file is loaded into the message text box: is the file plain
// 8-bit or UTF-8 text that the text box can take, and which line ends does it use?

#include <QString>
#include <QtGlobal>

// Result codes. Positive codes mean different things for the pre-check (TextFileKind) and the full
// test (IsTextFile); the negative codes are shared.
namespace TextFileCode {
// IsTextFile
constexpr qint16 NotText = 0;
constexpr qint16 TextCrLf = 1; // CR LF line ends, no line ends, or UTF-8 found by the pre-check
constexpr qint16 TextLf = 2;
constexpr qint16 TextCr = 3;
constexpr qint16 RichText = 6;
constexpr qint16 WideUnicode = 7; // UTF-16 or UTF-32
// TextFileKind
constexpr qint16 KindUnknown = 0; // nothing special at the start: the contents must be scanned
constexpr qint16 KindUtf16Le = 1;
constexpr qint16 KindUtf16Be = 2;
constexpr qint16 KindUtf8 = 3;
constexpr qint16 KindUtf32Be = 5;
constexpr qint16 KindRichText = 6;
// Both
constexpr qint16 Missing = -1;
constexpr qint16 Empty = -2;
constexpr qint16 Unreadable = -3;
constexpr qint16 TooShort = -4; // fewer than 5 bytes
constexpr qint16 NoPath = -5;
} // namespace TextFileCode

// True when the extension of path, in lower case, is one of prn, csv, xhtml, xhtm, shtml, shtm,
// html, htm, xml, log, txt.
bool IsTextTypeExtension(const QString& path);

// Looks at the first five bytes (byte-order marks, "{\rtf", XML starts) and, when allowed and the
// extension is a text type, searches the file for a UTF-8 charset declaration.
qint16 TextFileKind(const QString& path, bool allowCharsetSearch);

// Scans up to mostBytes bytes of the file for control characters other than tab, form feed and
// backspace. Returns NotText when their share exceeds toleratedPercent, or gives up early with
// NotText once a fifth of mostBytes has been examined and the running share exceeds ten times
// toleratedPercent. Otherwise classifies the line ends (TextCrLf / TextLf / TextCr).
// Out: firstBad / firstBadPos (1-based) the first such character (32 and 0 when none),
// percentFound the share found, isUtf8 true when the pre-check found UTF-8.
qint16 IsTextFile(const QString& path, qint32 mostBytes, uchar& firstBad, qint32& firstBadPos, double toleratedPercent,
                  double& percentFound, bool& isUtf8, bool allowCharsetSearch = false);

// The program text that the load command shows for a refused file; 0 for an accepted one.
int TextFileMessageNumber(qint16 code);
