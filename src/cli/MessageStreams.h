#pragma once
// The message on its way in (a file or standard input) and out (a file or standard output). The
// message is UTF-8 text and leaves exactly as it came in.

#include <QString>

struct MessageInput {
    bool ok = false;
    QString message;
    QString error; // the text to show when not ok
};

// path "" reads standard input. A message that is not UTF-8 is refused, not altered.
MessageInput ReadMessage(const QString& path, int language);

// path "" writes standard output. Returns the text to show on failure, "" on success.
QString WriteMessage(const QString& message, const QString& path, int language);
