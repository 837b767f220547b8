#pragma once
// A small ext2 file system in an image file, loop-mounted for one test: a real file system without
// fallocate, and with no blocks kept back for root. Mounting needs root and a loop device; elsewhere
// the test is skipped with the reason.
//
//     LoopFileSystem disk;
//     if (!disk.mounted()) GTEST_SKIP() << disk.reason();

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>
#include <sys/mount.h>
#include <unistd.h>

class LoopFileSystem {
  public:
    explicit LoopFileSystem(int kilobytes = 2048)
    {
        if (::geteuid() != 0) {
            reason_ = "loop-mounting a file system needs root";
            return;
        }
        // A second user of the test must reach the mounted folder.
        QFile(work_.path())
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                            QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        const QString image = work_.filePath(QStringLiteral("disk.img"));
        if (!QDir(work_.path()).mkdir(QStringLiteral("mnt")) || !QFile(image).open(QIODevice::WriteOnly) ||
            !QFile(image).resize(static_cast<qint64>(kilobytes) * 1024)) {
            reason_ = "the image file could not be made";
            return;
        }
        if (!Run(QStringLiteral("mke2fs"), {"-q", "-F", "-m", "0", "-t", "ext2", image})) {
            reason_ = "mke2fs could not make an ext2 file system";
            return;
        }
        if (!Run(QStringLiteral("mount"), {"-o", "loop", image, path()})) {
            reason_ = "no loop device could be mounted here";
            return;
        }
        mounted_ = true;
    }
    ~LoopFileSystem()
    {
        if (mounted_)
            ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
    }
    LoopFileSystem(const LoopFileSystem&) = delete;
    LoopFileSystem& operator=(const LoopFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    QString path() const { return work_.filePath(QStringLiteral("mnt")); }
    QString filePath(const QString& name) const { return QDir(path()).filePath(name); }

  private:
    static bool Run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    QTemporaryDir work_;
    bool mounted_ = false;
    std::string reason_;
};
