#include "files/FileProc.h"

#include "engines/toolkit.h"
#include "files/FileWrite.h"
#include "files/IoErrorText.h"

#include <QFile>
#include <QFileInfo>

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

// Reads from an open descriptor into buffer until it is full or the file ends (ended is then set);
// the count read, or -1 with errno set. The first end of input ends the reading: a terminal reports
// one for each Ctrl+D and would be read again after it.
qint64 ReadInto(int fd, char* buffer, qint64 size, bool& ended)
{
    qint64 total = 0;
    while (total < size) {
        const ssize_t got = read(fd, buffer + total, static_cast<size_t>(size - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0) {
            ended = true;
            break;
        }
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
    bool ended = false;
    const qint64 got = ReadInto(fd, contents.data() + start, expected, ended);
    contents.resize(start + std::max<qint64>(got, 0));
    if (got < 0)
        return false;
    // A file that grew since it was measured, or one without a size (a pipe, a terminal): the rest in
    // blocks.
    char block[64 * 1024];
    while (!ended && (limit <= 0 || contents.size() - start < limit)) {
        qint64 wanted = static_cast<qint64>(sizeof block);
        if (limit > 0)
            wanted = std::min(wanted, limit - (contents.size() - start));
        const qint64 more = ReadInto(fd, block, wanted, ended);
        if (more < 0)
            return false;
        contents.append(block, more);
    }
    return true;
}

} // namespace

QString NotRegularFileText()
{
    return QStringLiteral("Not a regular file.");
}

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

void ReadFileToString(const QString& path, QByteArray& contents, qint64 maxLength, QString& errorText, FileKind kind)
{
    contents.clear();
    AppendFileToString(path, contents, maxLength, errorText, kind);
}

void AppendFileToString(const QString& path, QByteArray& contents, qint64 maxLength, QString& errorText, FileKind kind)
{
    errorText.clear();
    const qsizetype start = contents.size();
    // Opening a pipe without a writer would wait for one: the type is checked first, without waiting.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        errorText = IoErrorText(errno);
        return;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0)
        errorText = IoErrorText(errno);
    else if (S_ISDIR(status.st_mode))
        errorText = IoErrorText(EISDIR);
    else if (kind == FileKind::RegularOnly && !S_ISREG(status.st_mode))
        errorText = NotRegularFileText();
    else if (!S_ISREG(status.st_mode) && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        errorText = IoErrorText(errno);
    else if (!ReadDescriptor(fd, maxLength, ExpectedLength(status, maxLength), contents))
        errorText = IoErrorText(errno);
    close(fd);
    if (!errorText.isEmpty())
        contents.truncate(start);
}

void ReadDescriptorToString(int fd, QByteArray& contents, qint64 maxLength, QString& errorText)
{
    errorText.clear();
    contents.clear();
    if (!ReadDescriptor(fd, maxLength, 0, contents)) {
        errorText = IoErrorText(errno);
        contents.clear();
    }
}

QString WriteStringToFile(const QByteArray& data, const QString& path, const QByteArray& extra, NewFileAccess access,
                          int language)
{
    const FileWrite::NewFile newFile =
        access == NewFileAccess::OwnerOnly ? FileWrite::NewFile::Private : FileWrite::NewFile::UserDefault;
    return FileWrite::WriteUserFile(path, data, {FileWrite::Existing::Replace, newFile, extra, language, {}}).error;
}

QString WriteToTempFile(const QByteArray& data, const QString& path, const QByteArray& extra)
{
    const int fd = open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return IoErrorText(errno);
    bool written = FileWrite::WriteAll(fd, data) && FileWrite::WriteAll(fd, extra);
    int savedErrno = errno;
    // A file system may report a failed write only when the file is closed.
    if (close(fd) != 0 && written && errno != EINTR) {
        written = false;
        savedErrno = errno;
    }
    return written ? QString() : IoErrorText(savedErrno);
}

} // namespace FileProc
