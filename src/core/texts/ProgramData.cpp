#include "texts/ProgramData.h"

#include "engines/ProgramTextFile.h"
#include "texts/Language.h"

#include <QDir>
#include <QFileInfo>

namespace ProgramData {
namespace {
const QString InstalledDataFolder = QStringLiteral("../share/quillet");
} // namespace

QStringList Candidates(const QString& programFolder)
{
    const QDir program(programFolder);
    return {QDir::cleanPath(program.absolutePath()), QDir::cleanPath(program.absoluteFilePath(InstalledDataFolder))};
}

QString Locate(const QString& programFolder)
{
    for (const QString& folder : Candidates(programFolder))
        if (QFileInfo(Language::ProgramTextFilePath(folder)).isFile())
            return folder;
    return QString();
}

QString FilePath(const QString& programFolder, const QString& name)
{
    const QString folder = Locate(programFolder);
    return QDir(folder.isEmpty() ? Candidates(programFolder).constFirst() : folder).filePath(name);
}

LoadResult LoadProgramTexts(const QString& programFolder)
{
    LoadResult result;
    result.folder = Locate(programFolder);
    if (result.folder.isEmpty()) {
        // Nothing to open anywhere: the message lists every place looked in, one a line.
        QStringList looked;
        for (const QString& folder : Candidates(programFolder))
            looked << QDir::toNativeSeparators(Language::ProgramTextFilePath(folder));
        result.failureMessage =
            Language::LoadFailureMessage(ProgramTextFile::CannotOpen, looked.join(QStringLiteral("\r\n")));
        return result;
    }
    const int loaded = Language::LoadProgramTexts(result.folder);
    result.ok = loaded > 0;
    if (!result.ok)
        result.failureMessage = Language::LoadFailureMessage(loaded, Language::ProgramTextFilePath(result.folder));
    return result;
}

} // namespace ProgramData
