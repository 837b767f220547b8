#pragma once
// A real file system that runs full: a small tmpfs mounted for one test, filled up to a chosen
// number of free bytes. Mounting needs root; elsewhere the test is skipped with the reason.
//
//     FullFileSystem disk;
//     if (!disk.mounted()) GTEST_SKIP() << disk.reason();
//     disk.write("earlier.txt", "kept");   // before it runs full
//     disk.fill(0);                        // now every write of a byte fails with "Disk full."

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class FullFileSystem {
  public:
    explicit FullFileSystem(qint64 capacityBytes = 8 * 1024 * 1024)
    {
        if (geteuid() != 0) {
            reason_ = "mounting a small tmpfs needs root";
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(capacityBytes) + ",mode=0700";
        if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            reason_ = std::string("mount of a tmpfs failed: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~FullFileSystem()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    QString path() const { return folder_.path(); }
    QString filePath(const QString& name) const { return QDir(folder_.path()).filePath(name); }

    bool write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
    }

    // Takes up all the room, then gives back freeBytes (rounded down to whole pages by tmpfs).
    bool fill(qint64 freeBytes) const
    {
        const QByteArray filler = QFile::encodeName(filePath(QStringLiteral("zz-filler")));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(64 * 1024, 'f');
        qint64 size = 0;
        for (;;) {
            const ssize_t written = ::write(fd, block.constData(), static_cast<size_t>(block.size()));
            if (written <= 0)
                break;
            size += written;
        }
        const bool full = errno == ENOSPC;
        const bool shrunk = ::ftruncate(fd, size - std::min(size, freeBytes)) == 0;
        ::close(fd);
        return full && shrunk;
    }

  private:
    QTemporaryDir folder_;
    bool mounted_ = false;
    std::string reason_;
};
