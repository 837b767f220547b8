#include "files/FolderOwner.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FolderOwner {

namespace {

// A record is two decimal numbers and a line end: far below this.
constexpr int LongestRecord = 64;

QByteArray ReadSmallFile(int folderFd, const char* name)
{
    const int fd = openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    close(fd);
    return got > 0 ? QByteArray(buffer, got) : QByteArray();
}

// Field 22 of /proc/<pid>/stat: the process's start time in clock ticks after boot. 0 when unknown.
qulonglong StartTime(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The command name (field 2) may hold spaces and parentheses: count from its last ")".
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    constexpr int StartTimeAfterName = 22 - 3; // fields 3, 4, ... follow the name
    return fields.size() > StartTimeAfterName ? fields.at(StartTimeAfterName).toULongLong() : 0;
}

bool ProcessExists(pid_t pid)
{
    return kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

bool Record(int folderFd)
{
    const pid_t pid = getpid();
    const QByteArray record = QByteArray::number(pid) + ' ' + QByteArray::number(StartTime(pid)) + '\n';
    const int fd =
        openat(folderFd, RecordName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    const bool written = write(fd, record.constData(), record.size()) == record.size();
    close(fd);
    return written;
}

Owner RecordedOwner(int folderFd)
{
    const QByteArray record = ReadSmallFile(folderFd, RecordName);
    const QList<QByteArray> fields = record.trimmed().split(' ');
    if (record.size() > LongestRecord || fields.size() != 2)
        return Owner::Unknown;
    bool pidOk = false, startOk = false;
    const long long pid = fields.at(0).toLongLong(&pidOk);
    const qulonglong recordedStart = fields.at(1).toULongLong(&startOk);
    if (!pidOk || !startOk || pid <= 0 || pid > INT32_MAX)
        return Owner::Unknown;
    if (!ProcessExists(static_cast<pid_t>(pid)))
        return Owner::Gone;
    // The id may have been given to another process since; the start time tells them apart.
    const qulonglong start = StartTime(static_cast<pid_t>(pid));
    if (recordedStart != 0 && start != 0 && start != recordedStart)
        return Owner::Gone;
    return Owner::Running;
}

} // namespace FolderOwner
