#pragma once
// Where the command line's key comes from: the first line of a key file, else the environment
// variable QUILLET_KEY, else a prompt on the terminal with echo off. The key is prepared exactly as
// the window's key-entry window prepares it, so both front ends derive the same engine key.

#include "files/EnvironmentSecret.h"

#include <QString>

struct KeyResult {
    enum class Status { Ok, Unreadable, NoSource, BadLength, NotUtf8, Mismatch };
    Status status = Status::NoSource;
    QString key;        // the prepared key when Ok; the caller wipes it after use
    QString error;      // the text to show when not Ok
    QString warning;    // a text to show even when Ok ("" for none)
    bool typed = false; // the key was typed at the prompt (so its checksum is worth showing)
};

// keyFile "" means: the environment (environmentKey, taken out of it at start), then the terminal. A key typed at the
// terminal is asked a second time when typeTwice, and refused unless both are the same key. Texts are in `language`.
KeyResult ObtainKey(const QString& keyFile, const EnvironmentSecret::Taken& environmentKey, int language,
                    bool typeTwice);
