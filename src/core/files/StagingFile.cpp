#include "files/StagingFile.h"

#include "engines/toolkit.h"
#include "files/InterruptCleanup.h"

#include <QFile>

#include <sodium.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

namespace Staging {

namespace {

constexpr int kNameAttempts = 16;
constexpr char kPrefix[] = ".quillet-";
constexpr char kSuffix[] = ".part";
constexpr int kHexDigits = 12;

QByteArray NewStagingName()
{
    unsigned char bytes[kHexDigits / 2];
    randombytes_buf(bytes, sizeof bytes);
    return kPrefix + QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex() + kSuffix;
}

// Held for as long as the file is in use; a run that finds it taken leaves the file alone.
bool Lock(int fd)
{
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void RemoveIfLeftBehind(int folderFd, const char* name)
{
    const int fd = ::openat(folderFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat status {};
    const bool ours = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
    if (ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Another link to it is somebody's file: only this name goes, the content stays.
        if (status.st_nlink == 1) {
            // Through the folder's descriptor: only the last component is looked up, not following a link.
            const std::string path = "/proc/self/fd/" + std::to_string(folderFd) + '/' + name;
            overwrite_file(path.c_str(), 1, 0, -1);
        }
        ::unlinkat(folderFd, name, 0);
    }
    ::close(fd);
}

} // namespace

File::File(int folderFd, QString folderPath) : folderFd_(folderFd), folderPath_(std::move(folderPath)) {}

File::~File()
{
    Discard();
}

bool File::Open(mode_t mode, bool namedOnly)
{
    if (!namedOnly && OpenNameless(mode))
        return true;
    // Only a file system (or a kernel) without nameless files is a reason to fall back to a name.
    if (!namedOnly && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
    return OpenNamed(mode);
}

bool File::OpenNameless(mode_t mode)
{
    // Without /proc a nameless file can be named only with a capability few processes have.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return false;
    }
    const int fd = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    if (!Lock(fd)) {
        const int cause = errno;
        ::close(fd);
        errno = cause;
        return false;
    }
    fd_ = fd;
    return true;
}

bool File::OpenNamed(mode_t mode)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QByteArray name = NewStagingName();
        const int fd =
            ::openat(folderFd_, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        InterruptCleanup::Watch(folderPath_ + '/' + QFile::decodeName(name));
        struct stat status {};
        // A left-behind clean-up of another run may have taken it between the creation and the lock.
        if (Lock(fd) && ::fstat(fd, &status) == 0 && status.st_nlink > 0) {
            fd_ = fd;
            staging_ = name;
            return true;
        }
        ::close(fd);
        InterruptCleanup::Forget(folderPath_ + '/' + QFile::decodeName(name));
    }
    errno = EEXIST;
    return false;
}

// Gives the nameless file a name; fails with EEXIST when the name is taken.
bool File::LinkAs(const QByteArray& name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    return ::linkat(AT_FDCWD, self.constData(), folderFd_, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

// A replacing rename needs a name to rename from: the complete file gets a staging name for that
// one step.
bool File::TakeStagingName()
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QByteArray name = NewStagingName();
        InterruptCleanup::Watch(folderPath_ + '/' + QFile::decodeName(name));
        if (LinkAs(name)) {
            staging_ = name;
            return true;
        }
        const int cause = errno;
        InterruptCleanup::Forget(folderPath_ + '/' + QFile::decodeName(name));
        if (cause != EEXIST) {
            errno = cause;
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

bool File::Place(const QByteArray& name, FileWrite::Existing existing)
{
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    bool placed = false;
    if (!Named() && existing == FileWrite::Existing::Keep) {
        placed = LinkAs(name); // fails on a taken name: nothing is replaced
    } else if (Named() || TakeStagingName()) {
        if (existing == FileWrite::Existing::Replace) {
            placed = ::renameat(folderFd_, staging_.constData(), folderFd_, name.constData()) == 0;
        } else if (::renameat2(folderFd_, staging_.constData(), folderFd_, name.constData(), RENAME_NOREPLACE) == 0) {
            placed = true;
        } else if (errno == EINVAL || errno == ENOSYS) {
            // A file system without the no-replace rename: a hard link fails just the same on a taken name.
            placed = ::linkat(folderFd_, staging_.constData(), folderFd_, name.constData(), 0) == 0 &&
                     ::unlinkat(folderFd_, staging_.constData(), 0) == 0;
        }
    }
    if (!placed)
        return false;
    if (Named())
        InterruptCleanup::Forget(folderPath_ + '/' + QFile::decodeName(staging_));
    staging_.clear();
    placed_ = true;
    return true;
}

void File::Discard()
{
    if (fd_ < 0)
        return;
    if (Named() && !placed_) {
        const int cause = errno;
        ::unlinkat(folderFd_, staging_.constData(), 0);
        InterruptCleanup::Forget(folderPath_ + '/' + QFile::decodeName(staging_));
        errno = cause;
    }
    ::close(fd_);
    fd_ = -1;
}

bool IsStagingName(const QByteArray& name)
{
    const qsizetype prefix = sizeof kPrefix - 1;
    const qsizetype suffix = sizeof kSuffix - 1;
    if (name.size() != prefix + kHexDigits + suffix || !name.startsWith(kPrefix) || !name.endsWith(kSuffix))
        return false;
    const QByteArray digits = name.mid(prefix, kHexDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

void RemoveLeftBehind(int folderFd)
{
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return;
    DIR* folder = ::fdopendir(listFd);
    if (!folder) {
        ::close(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (IsStagingName(QByteArray(entry->d_name)))
            RemoveIfLeftBehind(folderFd, entry->d_name);
    }
    ::closedir(folder);
}

} // namespace Staging
