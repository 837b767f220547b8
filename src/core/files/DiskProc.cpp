#include "files/DiskProc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace DiskProc {

QString FirstFixedDrive()
{
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty()) {
        const QFileInfo info(runtimeDir);
        if (info.isDir() && info.isWritable())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return QDir::cleanPath(QDir::tempPath());
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
