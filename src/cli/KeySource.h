#pragma once
// Where the command line's key comes from: the first line of a key file, else the environment
// variable QUILLET_KEY, else a prompt on the terminal with echo off. The key is prepared exactly as
// the window's key-entry window prepares it, so both front ends derive the same engine key.

#include <QString>

struct KeyResult {
    enum class Status { Ok, Unreadable, NoSource, BadLength, NotUtf8, Mismatch };
    Status status = Status::NoSource;
    QString key;        // the prepared key when Ok; the caller wipes it after use
    QString error;      // the text to show when not Ok
    bool typed = false; // the key was typed at the prompt (so its checksum is worth showing)
};

// keyFile "" means: the environment, then the terminal. A key typed at the terminal is asked a
// second time when typeTwice, and refused unless both are the same key. Texts are in `language`.
KeyResult ObtainKey(const QString& keyFile, int language, bool typeTwice);
