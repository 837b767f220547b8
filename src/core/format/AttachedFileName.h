#pragma once
// The name of an attached file comes from the sender, and a hostile sender chooses it. Only a name
// that is one plain file-name component, and so can only land inside the folder the user chose and
// shows what it is, is ever written as it stands; any other name can be written under a name
// derived from it, which the user sees first.

#include <QByteArray>
#include <QString>

// Longest name, in UTF-8 bytes, that common file systems accept for one component.
constexpr qsizetype MaxAttachedNameBytes = 255;

// The name as it may be written: the decoded UTF-8 name when it is safe, "" when it is refused.
// Refused: empty; longer than MaxAttachedNameBytes; invalid UTF-8; "/" or "\" anywhere; "." or "..";
// control characters (C0, DEL and C1, U+0080–U+009F) and the bidirectional marks (U+200E, U+200F,
// U+061C, the embeddings and overrides U+202A–U+202E, the isolates U+2066–U+2069), which can make
// a name show as "txt.exe" when it is not; characters that show as nothing (the format characters
// such as U+200B, U+200D, U+2060, U+FEFF, U+00AD, the grapheme joiner U+034F, variation selectors,
// the Hangul fillers U+3164 and the like), a space at either end and a dot at the end, which let a
// name pass for another. Names only Windows refuses (aux.c, a:b.txt) are written
// on Linux; a Windows build refuses them as well (WindowsFileNames).
QString SafeAttachedFileName(const QByteArray& utf8Name);

// A safe name made from a refused one: every byte that is not valid UTF-8 and every refused
// character replaced by "_", "." and ".." made "_" and "__", and a name over MaxAttachedNameBytes
// shortened in front of its extension. For a safe name, the name itself.
QString DerivedAttachedFileName(const QByteArray& utf8Name);

// True when the file will be hidden in the folder (its name begins with ".").
bool IsHiddenFileName(const QString& name);
