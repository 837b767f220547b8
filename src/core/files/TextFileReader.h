#pragma once
// Reads a text file for a text box: UTF-8 when the bytes are valid UTF-8 (a leading byte-order
// mark is dropped), Windows-1252 otherwise; every line end (CR LF, CR, LF) becomes "\n", which is what a
// QPlainTextEdit shows as a line break and hands back from toPlainText().

#include <QByteArray>
#include <QString>

// The text that the bytes of a text file stand for, with line ends normalised to "\n".
QString DecodeTextBytes(const QByteArray& bytes);

// Reads the whole file at path into text. Returns an error text, "" on success; on failure text is "".
QString ReadFileAsText(const QString& path, QString& text);
