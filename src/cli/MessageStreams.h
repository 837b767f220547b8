#pragma once
// The message on its way in (a file or standard input) and out (a file or standard output). The
// message is UTF-8 text and leaves exactly as it came in.

#include "pipeline/Failure.h"

#include <QByteArray>
#include <QString>

struct MessageInput {
    Outcome read;
    QString message; // when read
};

// Reads standard input to its end, or until more than `limit` bytes have come. On a terminal,
// program text `hint` first says how to end the input. False on a read error (errno says which).
bool ReadStandardInput(QByteArray& bytes, qint64 limit, int hint, int language);

// Writes bytes to standard output.
Outcome WriteStandardOutput(const QByteArray& bytes);

// path "" or "-" reads standard input. A message that is not UTF-8 is refused, not altered.
MessageInput ReadMessage(const QString& path, int language);

// Writes the message's bytes exactly as they are: path "" or "-" to standard output (a terminal gets
// control sequences other than tab and line breaks escaped), else to that file, following the
// user's link, replacing an existing file only with mayReplace.
Outcome WriteMessage(const QByteArray& message, const QString& path, bool mayReplace, int language);
