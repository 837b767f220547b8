#pragma once
// The message on its way in (a file or standard input) and out (a file or standard output). The
// message is UTF-8 text and leaves exactly as it came in.

#include <QString>

struct MessageInput {
    bool ok = false;
    QString message;
    QString error; // the text to show when not ok
};

// path "" reads standard input, to its end whatever it is (a terminal gives a line per read). A
// message that is not UTF-8 is refused, not altered.
MessageInput ReadMessage(const QString& path, int language);

// Writes the message's bytes exactly as they are: path "" to standard output (a terminal sees control
// sequences escaped), else to that file, which replaces an existing one only with mayReplace.
// Returns the text to show on failure, "" on success; `taken` tells that an existing file was kept.
QString WriteMessage(const QByteArray& message, const QString& path, bool mayReplace, int language, bool& taken);
