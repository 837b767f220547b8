#include "files/WorkingFolders.h"

#include "files/Cleanup.h"
#include "files/DiskProc.h"
#include "files/FileProc.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace {

constexpr int LastFolderNumber = 999;

// Creates the folder only if nothing of that name exists (mkdir never reuses an existing entry)
// and gives it mode 0700 whatever the umask.
bool CreatePrivateFolder(const QString& path)
{
    const QByteArray nativePath = QFile::encodeName(path);
    if (mkdir(nativePath.constData(), S_IRWXU) != 0)
        return false;
    return chmod(nativePath.constData(), S_IRWXU) == 0;
}

} // namespace

WorkingFolders::WorkingFolders(QString base)
    : base_(base.isEmpty() ? DiskProc::FirstFixedDrive() : QDir::cleanPath(base))
{
}

QString WorkingFolders::base() const
{
    return base_;
}

QString WorkingFolders::NewNumberedFolder(const QString& name, bool withBackslash) const
{
    if (!FileProc::FolderExists(base_))
        return {};
    for (int i = 1; i <= LastFolderNumber; ++i) {
        const QString candidate =
            base_ + QLatin1Char('/') + name + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
        struct stat status {};
        if (lstat(QFile::encodeName(candidate).constData(), &status) == 0)
            continue; // taken by a folder, a file or a link
        if (CreatePrivateFolder(candidate))
            return withBackslash ? candidate + QLatin1Char('/') : candidate;
    }
    return {};
}

void WorkingFolders::MakeWorkingFolder()
{
    workingFolder_ = NewNumberedFolder(QStringLiteral("temp_zeb"), true);
    ownsWorkingFolder_ = !workingFolder_.isEmpty();
    if (!ownsWorkingFolder_)
        workingFolder_ = base_ + QLatin1Char('/');
}

QString WorkingFolders::WorkingFolder() const
{
    return workingFolder_;
}

void WorkingFolders::RemoveWorkingFolder()
{
    if (!ownsWorkingFolder_ || !FileProc::FolderExists(workingFolder_))
        return;
    QString ignoredError; // nothing to tell the user at this point: the run is over
    Cleanup::DeleteFolderTree(workingFolder_, ignoredError, true);
}
