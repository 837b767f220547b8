#include "files/WorkingFolders.h"

#include "files/Cleanup.h"
#include "files/DiskProc.h"
#include "files/FileProc.h"
#include "files/FolderLock.h"
#include "files/InterruptCleanup.h"

#include <QDir>
#include <QFile>

#include <bitset>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int LastFolderNumber = 999;
const QString WorkingFolderName = QStringLiteral("temp_zeb");
// A folder without a lock file is a killed run's only when it has not changed for this long: a run
// that is starting makes its lock within moments of making the folder, and an older version of the
// program made no lock at all.
constexpr time_t OwnerlessGraceSeconds = 60;

QString NumberedName(const QString& name, int number)
{
    return name + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

using FolderNumbers = std::bitset<LastFolderNumber + 1>;

// The number of an entry named name followed by three digits from 001 to 999; 0 for any other entry.
int FolderNumberOf(const char* entry, const QByteArray& name)
{
    if (std::strncmp(entry, name.constData(), name.size()) != 0)
        return 0;
    const char* digits = entry + name.size();
    int number = 0;
    for (int i = 0; i < 3; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return 0;
        number = number * 10 + (digits[i] - '0');
    }
    return digits[3] == '\0' ? number : 0;
}

// The numbers that entries of the folder behind folderFd (folders, files, links alike) take, from
// one reading of the folder instead of a lookup for every number. The descriptor stays open.
FolderNumbers NumbersTaken(int folderFd, const QString& name)
{
    FolderNumbers taken;
    const int listFd = dup(folderFd);
    DIR* listing = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (listing == nullptr) {
        if (listFd >= 0)
            close(listFd);
        return taken;
    }
    rewinddir(listing);
    const QByteArray nativeName = QFile::encodeName(name);
    while (const dirent* entry = readdir(listing))
        taken.set(FolderNumberOf(entry->d_name, nativeName));
    closedir(listing);
    taken.reset(0);
    return taken;
}

FolderLock::Held LockFolder(const QString& folder)
{
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    FolderLock::Held lock = FolderLock::Create(fd);
    close(fd);
    return lock;
}

// True for a working folder of this user that no running process holds: a real folder (not a
// link), owned by this user, whose lock could be taken (it is then held in taken until the folder
// is gone), or that has no lock and has been still for a while.
bool IsLeftBehind(int baseFd, const QByteArray& name, FolderLock::Held& taken)
{
    struct stat status {};
    if (fstatat(baseFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != geteuid())
        return false;
    const int folderFd = openat(baseFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    const FolderLock::State state = FolderLock::TryTake(folderFd, taken);
    close(folderFd);
    if (state == FolderLock::State::Missing)
        return std::time(nullptr) - status.st_mtime > OwnerlessGraceSeconds;
    return state == FolderLock::State::Taken;
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
    const int baseFd = open(QFile::encodeName(base_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (baseFd < 0)
        return {};
    const FolderNumbers taken = NumbersTaken(baseFd, name);
    close(baseFd);
    for (int i = 1; i <= LastFolderNumber; ++i) {
        if (taken.test(i))
            continue; // taken by a folder, a file or a link
        // mkdir refuses a name that appeared since the folder was read, so that number is passed over.
        const QString candidate = base_ + QLatin1Char('/') + NumberedName(name, i);
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
        lock_ = LockFolder(workingFolder_);
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
    if (!ownsWorkingFolder_)
        return;
    QString ignoredError; // nothing to tell the user at this point: the run is over
    if (FileProc::FolderExists(workingFolder_))
        Cleanup::DeleteFolderTree(workingFolder_, ignoredError, true);
    // A folder that stays is still ours (quitting tries again). One that is gone is ours no more:
    // its name is free, and a later call must not remove what another run makes under it.
    if (FileProc::FolderExists(workingFolder_))
        return;
    ownsWorkingFolder_ = false;
    InterruptCleanup::Forget(workingFolder_);
    lock_.release();
}

int RemoveLeftBehindFolders(const QString& base)
{
    if (!DiskProc::IsPrivateFolder(base))
        return 0;
    const int baseFd = open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (baseFd < 0)
        return 0;
    const FolderNumbers present = NumbersTaken(baseFd, WorkingFolderName);
    int removed = 0;
    for (int i = 1; i <= LastFolderNumber; ++i) {
        if (!present.test(i))
            continue;
        const QString name = NumberedName(WorkingFolderName, i);
        FolderLock::Held taken;
        if (!IsLeftBehind(baseFd, QFile::encodeName(name), taken))
            continue;
        QString ignoredError; // what cannot be removed now is tried again at the next start
        removed += Cleanup::ShredFolderTree(base + QLatin1Char('/') + name, ignoredError) ? 1 : 0;
    }
    close(baseFd);
    return removed;
}

int RemoveLeftBehindFolders()
{
    int removed = 0;
    for (const QString& base : DiskProc::WorkingFolderBases())
        removed += RemoveLeftBehindFolders(base);
    return removed;
}
