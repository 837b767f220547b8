#include "files/FileWrite.h"

#include "files/InPlaceWrite.h"
#include "files/IoErrorText.h"
#include "files/StagingFile.h"
#include "files/UserLinks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileWrite {

namespace {

constexpr qsizetype kMostNameBytes = 255;

// A descriptor closed when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

Result Failure(int errnoValue)
{
    return {FileProc::IoErrorText(errnoValue), false};
}

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// Writes both parts from the descriptor's current offset and syncs them: only then is it known
// that the disk took them (a full disk may show only at the sync).
bool WriteAndSync(int fd, const QByteArray& data, const QByteArray& extra)
{
    return WriteAll(fd, data) && WriteAll(fd, extra) && ::fsync(fd) == 0;
}

// The folder itself must be synced for the new name to survive a crash; file systems that cannot
// sync a folder say EINVAL, which is no failure of the write.
bool SyncFolder(int folderFd)
{
    return ::fsync(folderFd) == 0 || errno == EINVAL;
}

// The mode the staging file is created with: a new private file is the owner's only, any other
// gets what the umask leaves.
mode_t CreationMode(NewFile newFile)
{
    return newFile == NewFile::Private ? S_IRUSR | S_IWUSR : 0666;
}

// A replaced file of the user's own keeps its mode; one of another user's says nothing about who
// may read what the user writes now.
bool KeepOwnMode(int fd, const struct stat& existing, bool replacing)
{
    const bool own = replacing && existing.st_uid == ::geteuid();
    return !own || ::fchmod(fd, existing.st_mode & 07777) == 0;
}

Result WriteRelative(int folderFd, const QString& folderPath, const QByteArray& name, const QByteArray& data,
                     const Options& options)
{
    struct stat status {};
    const bool exists = ::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && options.existing == Existing::Keep)
        return {QString(), true};
    if (exists && S_ISDIR(status.st_mode))
        return Failure(EISDIR);
    const bool replacing = exists && S_ISREG(status.st_mode);
    Staging::RemoveLeftBehind(folderFd);
    Staging::File file(folderFd, folderPath);
    if (!file.Open(CreationMode(options.newFile), options.hooks.namedStagingOnly)) {
        const int cause = errno;
        if ((cause == EACCES || cause == EPERM) && replacing && options.existing == Existing::Replace)
            return InPlace::Write(folderFd, name, data, options);
        return Failure(cause);
    }
    if (!KeepOwnMode(file.fd(), status, replacing) || !WriteAndSync(file.fd(), data, options.extra))
        return Failure(errno);
    if (options.hooks.beforePlacing)
        options.hooks.beforePlacing();
    if (!file.Place(name, options.existing)) {
        if (errno == EEXIST && options.existing == Existing::Keep)
            return {QString(), true};
        return Failure(errno);
    }
    if (!SyncFolder(folderFd))
        return Failure(errno);
    return {};
}

bool IsOneComponent(const QByteArray& name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && name.size() <= kMostNameBytes;
}

// Removes the last character, never half of a pair of surrogates.
void DropLastCharacter(QString& text)
{
    text.chop(text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1);
}

} // namespace

bool WriteAll(int fd, const QByteArray& data)
{
    const char* next = data.constData();
    for (qint64 left = data.size(); left > 0;) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

Result WriteIntoFolder(const QString& folder, const QString& name, const QByteArray& data, const Options& options)
{
    const QByteArray nativeName = Native(name);
    if (!IsOneComponent(nativeName))
        return Failure(EINVAL);
    Descriptor folderFd(::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd.valid())
        return Failure(errno);
    return WriteRelative(folderFd.get(), folder, nativeName, data, options);
}

QString FollowLinks(const QString& path)
{
    return UserLinks::Follow(path).path;
}

Result WriteUserFile(const QString& path, const QByteArray& data, const Options& options)
{
    const UserLinks::Followed followed = UserLinks::Follow(path);
    if (!followed.refusedLink.isEmpty())
        return {UserLinks::RefusalText(followed.refusedLink, options.language), false};
    if (!followed.ok())
        return Failure(ELOOP);
    const QString& target = followed.path;
    struct stat status {};
    if (::stat(Native(target).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return S_ISDIR(status.st_mode) ? Failure(EISDIR) : Result{QStringLiteral("Not a regular file."), false};
    const QFileInfo info(target);
    return WriteIntoFolder(info.path(), info.fileName(), data, options);
}

bool IsSameFile(const QString& folder, const QString& name, const QString& otherPath)
{
    struct stat here {};
    struct stat other {};
    const QString path = QDir(folder).filePath(name);
    return ::lstat(Native(path).constData(), &here) == 0 && ::stat(Native(otherPath).constData(), &other) == 0 &&
           here.st_dev == other.st_dev && here.st_ino == other.st_ino;
}

bool IsSameTarget(const QString& folder, const QString& name, const QString& otherPath)
{
    if (otherPath.isEmpty())
        return false;
    if (IsSameFile(folder, name, otherPath))
        return true;
    const QString end = FollowLinks(otherPath);
    return !end.isEmpty() &&
           QFileInfo(QDir(folder).filePath(name)).absoluteFilePath() == QFileInfo(end).absoluteFilePath();
}

bool NameTaken(const QString& folder, const QString& name)
{
    struct stat status {};
    return ::lstat(Native(QDir(folder).filePath(name)).constData(), &status) == 0 || errno != ENOENT;
}

QString FreeName(const QString& folder, const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    for (int number = 2; number <= 999; ++number) {
        QString stem = hasExtension ? name.left(dot) : name;
        const QString suffix = QStringLiteral(" (%1)").arg(number) + extension;
        while (!stem.isEmpty() && (stem + suffix).toUtf8().size() > kMostNameBytes)
            DropLastCharacter(stem);
        if (stem.isEmpty())
            return {};
        const QString candidate = stem + suffix;
        if (!NameTaken(folder, candidate))
            return candidate;
    }
    return {};
}

} // namespace FileWrite
