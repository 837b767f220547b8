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

// arguments: without the program name, as the program was started (before QApplication exists, so
// that a wrong command line is answered without a display). Qt's own options (-platform NAME,
// -style=NAME, -reverse, ...) are passed over; --help and --version win over anything else.
StartOptions ParseStartOptions(const QStringList& arguments);
// The texts printed on the terminal for --help, a wrong command line (the usage lines) and --version.
QString StartHelpText();
QString StartUsageText();
QString StartVersionText();
