#pragma once
// The window program's command line: `quillet [FILE]`, `quillet --help`, `quillet --version`.
// FILE is what the desktop passes when the user opens a received Quillet file.

#include <QString>
#include <QStringList>

struct StartOptions {
    enum class Action { OpenWindow, Help, Version, Usage };
    Action action = Action::OpenWindow;
    QString file;  // the received file to open in decrypt mode, "" for none
    QString error; // Usage: what is wrong with the command line
};

// arguments: without the program name. --help and --version win over anything else, so that they
// answer even beside options that only Qt understands (such as -platform NAME).
StartOptions ParseStartOptions(const QStringList& arguments);
// The texts printed on the terminal for --help and --version.
QString StartHelpText();
QString StartVersionText();
