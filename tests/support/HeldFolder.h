#pragma once
// A working folder that its run cannot remove until the test lets go of it, as when something else
// holds it for a while: whatever clean-up comes afterwards must still find and remove it.
//
// For root (whom permissions do not stop) a file in the folder is marked immutable; for anyone else
// the base the folder lies in is made read-only, so the folder cannot be unlinked from it.
//
//     HeldFolder held(folder, base);
//     if (!held.ready()) GTEST_SKIP() << held.reason();
//     ...                 // the run ends; its folder stays
//     held.Release();

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

class HeldFolder {
  public:
    HeldFolder(const QString& folder, const QString& base)
        : holder_(QFile::encodeName(folder + QStringLiteral("/held"))), base_(QFile::encodeName(base))
    {
        if (geteuid() != 0) {
            ready_ = ::chmod(base_.constData(), S_IRUSR | S_IXUSR) == 0;
        } else {
            ready_ = SetImmutable(true);
            immutable_ = ready_;
        }
        if (!ready_)
            reason_ = std::string("the folder cannot be held: ") + std::strerror(errno);
    }
    ~HeldFolder() { Release(); }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    bool ready() const { return ready_; }
    const std::string& reason() const { return reason_; }

    // From now on the folder can be removed again.
    void Release()
    {
        if (!ready_)
            return;
        if (immutable_)
            SetImmutable(false);
        else
            ::chmod(base_.constData(), S_IRWXU);
        ready_ = false;
    }

  private:
    bool SetImmutable(bool on)
    {
        const int fd = ::open(holder_.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        const int cause = errno;
        ::close(fd);
        errno = cause;
        return done;
    }

    QByteArray holder_;
    QByteArray base_;
    bool ready_ = false;
    bool immutable_ = false;
    std::string reason_;
};
