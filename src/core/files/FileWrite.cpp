#include "files/FileWrite.h"

#include "files/IoErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileWrite {

namespace {

constexpr int kStagingAttempts = 16;
constexpr int kMostLinks = 40; // as the system's own limit on links followed in one path
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
    // Closes now; false (errno set) when the system reports a late write error at close.
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

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

QByteArray StagingName()
{
    unsigned char bytes[6];
    randombytes_buf(bytes, sizeof bytes);
    return ".quillet-" + QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex() + ".part";
}

// Creates a new, empty staging file in the folder; its name goes to `staging`.
int CreateStaging(int folderFd, QByteArray& staging, mode_t mode)
{
    for (int attempt = 0; attempt < kStagingAttempts; ++attempt) {
        staging = StagingName();
        const int fd =
            ::openat(folderFd, staging.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Puts the staging file in place under name; with Existing::Keep only when the name is free at that
// very moment (a file that appeared meanwhile is kept, EEXIST).
bool PutInPlace(int folderFd, const QByteArray& staging, const QByteArray& name, Existing existing)
{
    if (existing == Existing::Replace)
        return ::renameat(folderFd, staging.constData(), folderFd, name.constData()) == 0;
    if (::renameat2(folderFd, staging.constData(), folderFd, name.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename: a hard link fails just the same on a taken name.
    if (::linkat(folderFd, staging.constData(), folderFd, name.constData(), 0) != 0)
        return false;
    ::unlinkat(folderFd, staging.constData(), 0);
    return true;
}

// The folder itself must be synced for the rename to survive a crash; file systems that cannot
// sync a folder say EINVAL, which is no failure of the write.
bool SyncFolder(int folderFd)
{
    return ::fsync(folderFd) == 0 || errno == EINVAL;
}

// Overwrites the existing file in place: for a folder the user may not write in. Room for the new
// content is claimed first, so a full disk is found before the old content is touched.
Result WriteInPlace(int folderFd, const QByteArray& name, const QByteArray& data, const QByteArray& extra)
{
    Descriptor file(::openat(folderFd, name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid())
        return Failure(errno);
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        return Failure(errno);
    if (!S_ISREG(status.st_mode))
        return {QStringLiteral("Not a regular file."), false};
    const off_t length = static_cast<off_t>(data.size() + extra.size());
    if (length > 0 && ::fallocate(file.get(), 0, 0, length) != 0 && errno != EOPNOTSUPP)
        return Failure(errno);
    if (!WriteAndSync(file.get(), data, extra) || ::ftruncate(file.get(), length) != 0 || ::fsync(file.get()) != 0)
        return Failure(errno);
    if (!file.close())
        return Failure(errno);
    return {};
}

// The mode the staging file is created with: a replaced file's mode is set on it at once (see
// KeepMode), a new private file is the owner's only, any other new file gets what the umask leaves.
mode_t CreationMode(bool replacing, NewFile newFile)
{
    return replacing || newFile == NewFile::Private ? S_IRUSR | S_IWUSR : 0666;
}

// A replaced file keeps its mode.
bool KeepMode(int fd, const struct stat& existing, bool replacing)
{
    return !replacing || ::fchmod(fd, existing.st_mode & 07777) == 0;
}

Result WriteRelative(int folderFd, const QByteArray& name, const QByteArray& data, const Options& options)
{
    const Existing existing = options.existing;
    const QByteArray& extra = options.extra;
    struct stat status {};
    const bool exists = ::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists && existing == Existing::Keep)
        return {QString(), true};
    if (exists && S_ISDIR(status.st_mode))
        return Failure(EISDIR);
    const bool replacing = exists && S_ISREG(status.st_mode);
    QByteArray staging;
    Descriptor file(CreateStaging(folderFd, staging, CreationMode(replacing, options.newFile)));
    if (!file.valid()) {
        const int cause = errno;
        if ((cause == EACCES || cause == EPERM) && replacing && existing == Existing::Replace)
            return WriteInPlace(folderFd, name, data, extra);
        return Failure(cause);
    }
    const bool written = KeepMode(file.get(), status, replacing) && WriteAndSync(file.get(), data, extra) &&
                         file.close() && PutInPlace(folderFd, staging, name, existing);
    if (!written) {
        const int cause = errno;
        ::unlinkat(folderFd, staging.constData(), 0);
        if (cause == EEXIST && existing == Existing::Keep)
            return {QString(), true};
        return Failure(cause);
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
    return WriteRelative(folderFd.get(), nativeName, data, options);
}

QString FollowLinks(const QString& path)
{
    QString current = path;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        const QByteArray native = Native(current);
        struct stat status {};
        if (::lstat(native.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        QByteArray target(static_cast<qsizetype>(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(native.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length <= 0 || length >= target.size())
            return {};
        target.truncate(length);
        current = QDir(QFileInfo(current).path()).filePath(QFile::decodeName(target));
    }
    return {};
}

Result WriteUserFile(const QString& path, const QByteArray& data, const Options& options)
{
    const QString target = FollowLinks(path);
    if (target.isEmpty())
        return Failure(ELOOP);
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
