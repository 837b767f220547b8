#include "gui/frmMain_startup.h"

#include "pipeline/Dialogs.h"
#include "texts/ProgramData.h"

#include <cstdio>

bool LoadProgramTextsOrReport(Dialogs& dialogs, const QString& programFolder)
{
    const ProgramData::LoadResult loaded = ProgramData::LoadProgramTexts(programFolder);
    if (loaded.ok)
        return true;
    // Also on the terminal: a program started from a shell or a script is told there, too.
    std::fprintf(stderr, "quillet: %s\n", QString(loaded.failureMessage).replace("\r\n", "\n").toUtf8().constData());
    dialogs.inform(loaded.failureMessage, QStringLiteral("Quillet"), DialogIcon::Critical);
    return false;
}
