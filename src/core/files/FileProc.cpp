#include "files/FileProc.h"

#include "engines/toolkit.h"
#include "files/IoErrorText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileProc {

namespace {

// The length a read is likely to give: the file's size, within the limit (0: none); 0 when the size
// says nothing (a pipe, a device).
qint64 ExpectedLength(const struct stat& status, qint64 limit)
{
    const qint64 size = S_ISREG(status.st_mode) ? static_cast<qint64>(status.st_size) : 0;
    return limit > 0 ? std::min(size, limit) : size;
}

// Reads from an open descriptor into buffer until it is full or the file ends; the count read, or
// -1 with errno set.
qint64 ReadInto(int fd, char* buffer, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const ssize_t got = read(fd, buffer + total, static_cast<size_t>(size - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

// Appends to contents up to the end (or limit bytes when limit > 0) of an open descriptor; false
// with errno set. The expected length is read straight into contents' storage, so a file of some
// megabytes is neither copied through a small block nor copied again as the array grows.
bool ReadDescriptor(int fd, qint64 limit, qint64 expected, QByteArray& contents)
{
    const qsizetype start = contents.size();
    contents.resize(start + expected);
    const qint64 got = ReadInto(fd, contents.data() + start, expected);
    contents.resize(start + std::max<qint64>(got, 0));
    if (got < 0)
        return false;
    // A file that grew since it was measured: the rest in blocks.
    char block[64 * 1024];
    while (got == expected && (limit <= 0 || contents.size() - start < limit)) {
        qint64 wanted = static_cast<qint64>(sizeof block);
        if (limit > 0)
            wanted = std::min(wanted, limit - (contents.size() - start));
        const qint64 more = ReadInto(fd, block, wanted);
        if (more < 0)
            return false;
        if (more == 0)
            break;
        contents.append(block, more);
    }
    return true;
}

bool WriteDescriptor(int fd, const QByteArray& data)
{
    const char* next = data.constData();
    for (qint64 left = data.size(); left > 0;) {
        const ssize_t written = write(fd, next, static_cast<size_t>(left));
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

// Clears the way for writing path: a link there is removed (the new file replaces it, the file it
// pointed to stays as it was); a folder, device or pipe is refused. "" when the way is clear.
QString PrepareTarget(const QByteArray& nativePath)
{
    struct stat status {};
    if (lstat(nativePath.constData(), &status) != 0)
        return errno == ENOENT ? QString() : IoErrorText(errno);
    if (S_ISDIR(status.st_mode))
        return IoErrorText(EISDIR);
    if (S_ISLNK(status.st_mode))
        return unlink(nativePath.constData()) == 0 ? QString() : IoErrorText(errno);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("Not a regular file.");
    return {};
}

// The cause of a QSaveFile failure: errno when the failing call left one, else Qt's own words.
QString SaveFailureText(const QSaveFile& file, int savedErrno)
{
    if (savedErrno != 0)
        return IoErrorText(savedErrno);
    const QString qtText = file.errorString();
    return qtText.endsWith(QLatin1Char('.')) ? qtText : qtText + QLatin1Char('.');
}

} // namespace

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FolderExists(const QString& path)
{
    const QString trimmed = path.trimmed();
    return !trimmed.isEmpty() && QFileInfo(trimmed).isDir();
}

int FileCreatable(const QString& path)
{
    return new_file_creatable(QFile::encodeName(path).constData());
}

QString UniqueTempFileName(const QString& folder, const QString& stem, const QString& extension, QString& errorText)
{
    errorText.clear();
    const QString folderPath = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    // No folder is not the root folder.
    if (folder.trimmed().isEmpty() || !FolderExists(folderPath)) {
        errorText = folderPath + QStringLiteral(" does not exist.");
        return {};
    }
    const QString dottedExtension = extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension;
    QString name;
    for (int i = 1; i <= 99; ++i) {
        name = folderPath + stem + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) + dottedExtension;
        if (FileCreatable(name) == 1)
            return name;
    }
    errorText = QStringLiteral("On 99th attempt, ") + name + QStringLiteral(" was not creatable.");
    return {};
}

void ReadFileToString(const QString& path, QByteArray& contents, qint64 maxLength, QString& errorText)
{
    contents.clear();
    AppendFileToString(path, contents, maxLength, errorText);
}

void AppendFileToString(const QString& path, QByteArray& contents, qint64 maxLength, QString& errorText)
{
    errorText.clear();
    const qsizetype start = contents.size();
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        errorText = IoErrorText(errno);
        return;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0)
        errorText = IoErrorText(errno);
    else if (S_ISDIR(status.st_mode))
        errorText = IoErrorText(EISDIR);
    else if (!ReadDescriptor(fd, maxLength, ExpectedLength(status, maxLength), contents))
        errorText = IoErrorText(errno);
    close(fd);
    if (!errorText.isEmpty())
        contents.truncate(start);
}

QString WriteStringToFile(const QByteArray& data, const QString& path, const QByteArray& extra, NewFileAccess access)
{
    if (data.isEmpty())
        return QStringLiteral("Nothing to write.");
    const QString blocked = PrepareTarget(QFile::encodeName(path));
    if (!blocked.isEmpty())
        return blocked;
    // QSaveFile writes a new file beside the target and renames it over the target only when all
    // of it is written, so a failure leaves any earlier file whole (an existing file keeps its mode).
    QSaveFile file(path);
    errno = 0;
    // The umask is the only way to have QSaveFile create its file 0600 at once: a chmod afterwards
    // would leave a moment in which another user could open it and read what follows.
    const mode_t savedUmask = access == NewFileAccess::OwnerOnly ? umask(S_IRWXG | S_IRWXO) : 0;
    const bool opened = file.open(QIODevice::WriteOnly);
    const int openErrno = errno;
    if (access == NewFileAccess::OwnerOnly)
        umask(savedUmask);
    if (!opened)
        return SaveFailureText(file, openErrno);
    errno = 0;
    bool written = file.write(data) == data.size();
    if (written && !extra.isEmpty())
        written = file.write(extra) == extra.size();
    if (!written) {
        const int savedErrno = errno;
        file.cancelWriting();
        return SaveFailureText(file, savedErrno);
    }
    errno = 0;
    if (!file.commit())
        return SaveFailureText(file, errno);
    return {};
}

QString WriteToTempFile(const QByteArray& data, const QString& path, const QByteArray& extra)
{
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return IoErrorText(errno);
    const bool written = WriteDescriptor(fd, data) && WriteDescriptor(fd, extra);
    const int savedErrno = errno;
    close(fd);
    return written ? QString() : IoErrorText(savedErrno);
}

} // namespace FileProc
