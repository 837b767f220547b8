#pragma once
// What happens before the main window appears.

#include <QString>

class Dialogs;

// Loads the program texts from the data folder of a program in programFolder (beside it, else
// ../share/quillet). On failure the loader's message, which names the places looked in, is written to
// standard error and shown as a critical box, and false comes back: the program then ends before any
// window appears.
bool LoadProgramTextsOrReport(Dialogs& dialogs, const QString& programFolder);
