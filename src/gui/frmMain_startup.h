#pragma once
// What happens before the main window appears.

#include <QString>

class Dialogs;

// Loads the program texts from zeb.dat in programFolder. On failure the loader's message is shown as
// a critical box and false comes back: the program then ends before any window appears.
bool LoadProgramTextsOrReport(Dialogs& dialogs, const QString& programFolder);
