#include "files/WorkingFolders.h"

#include "files/Cleanup.h"
#include "files/DiskProc.h"
#include "files/FileProc.h"
#include "files/FolderOwner.h"
#include "files/InterruptCleanup.h"

#include <QDir>
#include <QFile>

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int LastFolderNumber = 999;
const QString WorkingFolderName = QStringLiteral("temp_zeb");
// A folder without an owner record is a killed run's only when it has not changed for this long:
// a run that is starting writes its record within moments of making the folder.
constexpr time_t OwnerlessGraceSeconds = 60;

QString NumberedName(const QString& name, int number)
{
    return name + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

void RecordOwner(const QString& folder)
{
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    FolderOwner::Record(fd);
    close(fd);
}

// True for a working folder of this user that no running process owns: a real folder (not a link),
// owned by this user, whose recorded process has ended (or, without a record, that has been still
// for a while).
bool IsLeftBehind(int baseFd, const QByteArray& name)
{
    struct stat status {};
    if (fstatat(baseFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != geteuid())
        return false;
    const int folderFd = openat(baseFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    const FolderOwner::Owner owner = FolderOwner::RecordedOwner(folderFd);
    close(folderFd);
    if (owner == FolderOwner::Owner::Unknown)
        return std::time(nullptr) - status.st_mtime > OwnerlessGraceSeconds;
    return owner == FolderOwner::Owner::Gone;
}

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
        const QString candidate = base_ + QLatin1Char('/') + NumberedName(name, i);
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
    workingFolder_ = NewNumberedFolder(WorkingFolderName, true);
    ownsWorkingFolder_ = !workingFolder_.isEmpty();
    if (ownsWorkingFolder_) {
        RecordOwner(workingFolder_);
        InterruptCleanup::Watch(workingFolder_);
    } else if (DiskProc::IsPrivateFolder(base_)) {
        workingFolder_ = base_ + QLatin1Char('/');
    } else {
        // A base others may write to is no place for plain text, not even for one run.
        workingFolder_.clear();
    }
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
    InterruptCleanup::Forget(workingFolder_);
}

int RemoveLeftBehindFolders(const QString& base)
{
    if (!DiskProc::IsPrivateFolder(base))
        return 0;
    const int baseFd = open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (baseFd < 0)
        return 0;
    int removed = 0;
    for (int i = 1; i <= LastFolderNumber; ++i) {
        const QString name = NumberedName(WorkingFolderName, i);
        if (!IsLeftBehind(baseFd, QFile::encodeName(name)))
            continue;
        QString ignoredError; // what cannot be removed now is tried again at the next start
        removed += Cleanup::ShredFolderTree(base + QLatin1Char('/') + name, ignoredError) ? 1 : 0;
    }
    close(baseFd);
    return removed;
}
