#pragma once
// The name of an attached file comes from the sender, and a hostile sender chooses it. Only a name
// that is one plain file-name component, and so can only land inside the folder the user chose, is
// ever written.

#include <QByteArray>
#include <QString>

// Longest name, in UTF-8 bytes, that common file systems accept for one component.
constexpr qsizetype MaxAttachedNameBytes = 255;

// The name as it may be written: the decoded UTF-8 name when it is safe, "" when it is refused.
// Refused: empty; longer than MaxAttachedNameBytes; invalid UTF-8; "/" or "\" anywhere; "." or "..";
// a drive prefix ("C:"); control characters and the bidirectional overrides (a name that shows as
// "txt.exe" but is not); the reserved device names of Windows (CON, PRN, AUX, NUL, COM1-9, LPT1-9),
// with or without an extension, in any case.
QString SafeAttachedFileName(const QByteArray& utf8Name);
