#include "gui/frmMain_startup.h"

#include "pipeline/Dialogs.h"
#include "texts/Language.h"

bool LoadProgramTextsOrReport(Dialogs& dialogs, const QString& programFolder)
{
    const int result = Language::LoadProgramTexts(programFolder);
    if (result > 0)
        return true;
    dialogs.inform(Language::LoadFailureMessage(result, Language::ProgramTextFilePath(programFolder)),
                   QStringLiteral("Quillet"), DialogIcon::Critical);
    return false;
}
