#include "files/Cleanup.h"

#include "engines/toolkit.h"
#include "files/DiskProc.h"
#include "files/IoErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace Cleanup {

namespace {

bool IsReadOnly(const struct stat& status)
{
    return !S_ISLNK(status.st_mode) && (status.st_mode & S_IWUSR) == 0;
}

// A file with another name elsewhere (a hard link) holds that name's content too, which may be a
// file the user keeps: such a file only loses the name being removed.
bool MayOverwrite(const struct stat& status)
{
    return S_ISREG(status.st_mode) && status.st_nlink == 1;
}

QString Cause(const QString& shownPath, int errnoValue)
{
    return shownPath + QStringLiteral(": ") + FileProc::IoErrorText(errnoValue);
}

// How a tree is removed: force also takes read-only entries; shred overwrites every regular file
// before it is deleted.
struct Removal {
    bool force = false;
    bool shred = false;
};

QString RemoveEntry(int parentFd, const std::string& name, const QString& shownPath, Removal how);

// Overwrites the regular file name inside the open folder parentFd. The path runs through the
// folder's descriptor, so only its last component is looked up, and that without following a link.
void OverwriteEntry(int parentFd, const std::string& name)
{
    const std::string path = "/proc/self/fd/" + std::to_string(parentFd) + '/' + name;
    overwrite_file(path.c_str(), 1, 0, -1);
}

// Removes everything inside the open folder folderFd; "" on success, else the first cause.
QString RemoveEntries(int folderFd, const QString& shownPath, Removal how)
{
    const int listFd = dup(folderFd);
    DIR* folder = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (folder == nullptr) {
        const int savedErrno = errno;
        if (listFd >= 0)
            close(listFd);
        return Cause(shownPath, savedErrno);
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(folder);
    for (const std::string& name : names) {
        const QString error =
            RemoveEntry(folderFd, name, shownPath + QLatin1Char('/') + QFile::decodeName(name.c_str()), how);
        if (!error.isEmpty())
            return error;
    }
    return {};
}

// Every step works relative to an open parent folder and never follows a link, so nothing outside
// the tree is touched, even when a link inside it points elsewhere.
QString RemoveEntry(int parentFd, const std::string& name, const QString& shownPath, Removal how)
{
    struct stat status {};
    if (fstatat(parentFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? QString() : Cause(shownPath, errno);
    if (IsReadOnly(status) && !how.force)
        return shownPath + QStringLiteral(" is read-only.");
    if (MayOverwrite(status) && how.shred) {
        if (IsReadOnly(status))
            fchmodat(parentFd, name.c_str(), status.st_mode | S_IWUSR, 0);
        OverwriteEntry(parentFd, name);
    }
    if (!S_ISDIR(status.st_mode))
        return unlinkat(parentFd, name.c_str(), 0) == 0 ? QString() : Cause(shownPath, errno);

    const int folderFd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return Cause(shownPath, errno);
    if (IsReadOnly(status))
        fchmod(folderFd, status.st_mode | S_IWUSR | S_IXUSR); // its entries can go only then
    const QString error = RemoveEntries(folderFd, shownPath, how);
    close(folderFd);
    if (!error.isEmpty())
        return error;
    return unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0 ? QString() : Cause(shownPath, errno);
}

} // namespace

bool OverwriteFile(const QString& path, int count, bool allowReadOnly, bool queryCluster)
{
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat status {};
    if (path.isEmpty() || lstat(nativePath.constData(), &status) != 0 || !MayOverwrite(status))
        return false;
    if (IsReadOnly(status)) {
        if (!allowReadOnly || chmod(nativePath.constData(), status.st_mode | S_IWUSR) != 0)
            return false;
    }
    int cluster = -1;
    if (queryCluster) {
        double freeBytes = 0;
        cluster = DiskProc::DiskClusterSize(QFileInfo(path).absolutePath(), freeBytes);
    }
    return overwrite_file(nativePath.constData(), count, queryCluster ? 1 : 0, cluster) == 0;
}

bool DeleteFileForced(const QString& path, bool /*clearHidden*/, bool clearReadOnly, bool /*clearSystem*/)
{
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat status {};
    if (path.isEmpty() || lstat(nativePath.constData(), &status) != 0)
        return true; // nothing there
    if (S_ISDIR(status.st_mode))
        return false;
    // Linux would delete a read-only file anyway; keep the promise that it goes only when allowed.
    if (IsReadOnly(status) && !clearReadOnly)
        return false;
    return unlink(nativePath.constData()) == 0 || errno == ENOENT;
}

bool ShredAndDelete(const QString& path)
{
    OverwriteFile(path, 1000, true, false);
    return DeleteFileForced(path, true, true, true);
}

namespace {

bool RemoveFolderTree(const QString& path, QString& errorText, Removal how)
{
    errorText.clear();
    const QByteArray nativePath = QFile::encodeName(path);
    struct stat status {};
    if (path.isEmpty() || lstat(nativePath.constData(), &status) != 0) {
        errorText = path + QStringLiteral(" does not exist.");
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        errorText = path + QStringLiteral(" is not a folder.");
        return false;
    }
    const QFileInfo folder(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    const QString shownPath = folder.filePath();
    if (folder.fileName().isEmpty()) {
        errorText = shownPath + QStringLiteral(" is a root folder.");
        return false;
    }
    const int parentFd = open(QFile::encodeName(folder.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) {
        errorText = Cause(shownPath, errno);
        return false;
    }
    errorText = RemoveEntry(parentFd, QFile::encodeName(folder.fileName()).toStdString(), shownPath, how);
    close(parentFd);
    return errorText.isEmpty();
}

} // namespace

bool DeleteFolderTree(const QString& path, QString& errorText, bool force)
{
    return RemoveFolderTree(path, errorText, Removal{force, false});
}

bool ShredFolderTree(const QString& path, QString& errorText)
{
    return RemoveFolderTree(path, errorText, Removal{true, true});
}

} // namespace Cleanup
