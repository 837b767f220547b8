#pragma once
// Where the program's data (zeb.dat, the help texts, the help page) lies. A program run from the
// build tree has it beside the executable; an installed one in ../share/quillet relative to it,
// whatever the prefix. Both the window and the command line look in the same places.

#include <QString>
#include <QStringList>

namespace ProgramData {

// The folders a program in programFolder looks in, in the order it looks.
QStringList Candidates(const QString& programFolder);
// The first candidate that holds zeb.dat; "" when none does.
QString Locate(const QString& programFolder);
// The file `name` in the data folder of a program in programFolder. When no data folder is found,
// the file beside the program, so that a message naming it says where it was expected.
QString FilePath(const QString& programFolder, const QString& name);

struct LoadResult {
    bool ok = false;
    QString folder;         // the data folder the texts came from
    QString failureMessage; // the loader's message when !ok; it names every place looked in
};
// Finds the data folder and loads the program texts from it.
LoadResult LoadProgramTexts(const QString& programFolder);

} // namespace ProgramData
