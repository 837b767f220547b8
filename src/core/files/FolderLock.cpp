#include "files/FolderLock.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FolderLock {

namespace {

// The lock file is made and locked under this name, then renamed to LockName.
constexpr char UnlockedName[] = "lock.new";

} // namespace

Held::~Held()
{
    release();
}

Held& Held::operator=(Held&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void Held::release()
{
    if (fd_ >= 0)
        close(fd_); // closing the only descriptor of the open file lets the lock go
    fd_ = -1;
}

Held Create(int folderFd)
{
    const int fd =
        openat(folderFd, UnlockedName, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return {};
    Held held(fd);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || renameat(folderFd, UnlockedName, folderFd, LockName) != 0) {
        unlinkat(folderFd, UnlockedName, 0);
        return {};
    }
    return held;
}

State TryTake(int folderFd, Held& taken)
{
    // O_NONBLOCK: a FIFO planted at the name must not stop the start.
    const int fd = openat(folderFd, LockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? State::Missing : State::InUse;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return State::InUse; // not ours to judge
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return State::InUse;
    }
    taken = Held(fd);
    return State::Taken;
}

} // namespace FolderLock
