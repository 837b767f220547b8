#pragma once
// Folders in which no working folder can be made, for the pipelines' tests.
//
// ReadOnlyFolder: a private folder in which nothing can be made, whoever runs the test: for root
// (whom permissions do not stop) a small tmpfs mounted read-only, for anyone else a folder of mode
// 0500. cause() is what the program says about it.
//
//     ReadOnlyFolder folder;
//     if (!folder.ready()) GTEST_SKIP() << folder.reason();

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class ReadOnlyFolder {
  public:
    ReadOnlyFolder()
    {
        const QByteArray path = QFile::encodeName(folder_.path());
        if (geteuid() != 0) {
            ready_ = ::chmod(path.constData(), S_IRUSR | S_IXUSR) == 0;
            cause_ = QStringLiteral("Permission denied.");
        } else {
            mounted_ = ::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV | MS_RDONLY,
                               "size=65536,mode=0700") == 0;
            ready_ = mounted_;
            cause_ = QStringLiteral("The disk is read-only.");
        }
        if (!ready_)
            reason_ = std::string("no read-only folder: ") + std::strerror(errno);
    }
    ~ReadOnlyFolder()
    {
        const QByteArray path = QFile::encodeName(folder_.path());
        if (mounted_)
            ::umount2(path.constData(), MNT_DETACH);
        else
            ::chmod(path.constData(), S_IRWXU); // so that it can be removed
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ready() const { return ready_; }
    const std::string& reason() const { return reason_; }
    QString path() const { return folder_.path(); }
    const QString& cause() const { return cause_; }

  private:
    QTemporaryDir folder_;
    bool mounted_ = false;
    bool ready_ = false;
    QString cause_;
    std::string reason_;
};

// A working-folder base that yields no working folder, and the cause the program gives for it.
struct UnusableBase {
    const char* name;
    QString base;
    QString cause;
};

// Bases below a regular file, missing, and read-only (when one can be had), made in `scratch`.
inline std::vector<UnusableBase> UnusableBases(const QString& scratch, const ReadOnlyFolder& readOnly)
{
    QFile regular(scratch + QStringLiteral("/regular"));
    EXPECT_TRUE(regular.open(QIODevice::WriteOnly) && regular.write("a file, not a folder") > 0);
    std::vector<UnusableBase> bases = {
        {"below a regular file", regular.fileName() + QStringLiteral("/work"),
         QStringLiteral("A part of the path is not a folder.")},
        {"missing", scratch + QStringLiteral("/missing/work"), QStringLiteral("No such file or folder.")},
    };
    if (readOnly.ready())
        bases.push_back({"read-only", readOnly.path(), readOnly.cause()});
    else
        std::cerr << "read-only case left out: " << readOnly.reason() << '\n';
    return bases;
}
