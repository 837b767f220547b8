#include "files/DiskProc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace DiskProc {

namespace {

constexpr mode_t OthersMayWrite = S_IWGRP | S_IWOTH;

// A folder only this user can change: a real folder (not a link), owned by the user, that neither
// the group nor others may write to. Only such a folder may hold working folders.
bool IsPrivate(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & OthersMayWrite) == 0;
}

bool IsUsableRuntimeFolder(const QString& path)
{
    struct stat status {};
    return !path.isEmpty() && lstat(QFile::encodeName(path).constData(), &status) == 0 && IsPrivate(status) &&
           access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// <temporary folder>/quillet-<uid>: made 0700 when missing; an existing one is taken only when it is
// a real folder of this user, and then made 0700 again. "" when it is a link, someone else's, or
// cannot be made: working directly in the shared temporary folder is never an option.
QString PrivateTemporaryFolder()
{
    const QString path = PrivateTemporaryFolderPath();
    const QByteArray nativePath = QFile::encodeName(path);
    if (mkdir(nativePath.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return {};
    // Opened without following a link, then checked and tightened through the descriptor, so a link
    // or a folder swapped in after the check cannot be taken for ours.
    const int fd = open(nativePath.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat status {};
    const bool ours = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
                      ((status.st_mode & 07777) == S_IRWXU || fchmod(fd, S_IRWXU) == 0);
    close(fd);
    return ours ? path : QString();
}

} // namespace

QString PrivateTemporaryFolderPath()
{
    return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/quillet-%1").arg(geteuid());
}

QString FirstFixedDrive()
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsUsableRuntimeFolder(runtimeDir))
        return QDir::cleanPath(QFileInfo(runtimeDir).absoluteFilePath());
    return PrivateTemporaryFolder();
}

QStringList WorkingFolderBases()
{
    QStringList bases;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsUsableRuntimeFolder(runtimeDir))
        bases << QDir::cleanPath(QFileInfo(runtimeDir).absoluteFilePath());
    const QString temporary = PrivateTemporaryFolderPath();
    if (!bases.contains(temporary) && IsPrivateFolder(temporary))
        bases << temporary;
    return bases;
}

bool IsPrivateFolder(const QString& path)
{
    struct stat status {};
    return !path.isEmpty() && lstat(QFile::encodeName(path).constData(), &status) == 0 && IsPrivate(status);
}

int WhyNoFilesIn(const QString& folder)
{
    if (folder.isEmpty())
        return ENOENT;
    const QByteArray nativePath = QFile::encodeName(folder);
    struct stat status {};
    if (stat(nativePath.constData(), &status) != 0)
        return errno;
    if (!S_ISDIR(status.st_mode))
        return ENOTDIR;
    return access(nativePath.constData(), W_OK | X_OK) == 0 ? 0 : errno;
}

int DiskClusterSize(const QString& drive, double& freeBytes)
{
    freeBytes = -1;
    struct statvfs fileSystem {};
    if (drive.isEmpty() || statvfs(QFile::encodeName(drive).constData(), &fileSystem) != 0)
        return -1;
    const unsigned long cluster = fileSystem.f_frsize != 0 ? fileSystem.f_frsize : fileSystem.f_bsize;
    if (cluster < 512 || cluster > 65536)
        return -2;
    freeBytes = static_cast<double>(fileSystem.f_bavail) * static_cast<double>(cluster);
    return static_cast<int>(cluster);
}

} // namespace DiskProc
