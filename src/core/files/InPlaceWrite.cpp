#include "files/InPlaceWrite.h"

#include "files/IoErrorText.h"
#include "texts/Language.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace InPlace {

namespace {

constexpr int kForeignFileText = 491;
constexpr off_t kBlockBytes = 512; // the unit of st_blocks

FileWrite::Result Failure(int errnoValue)
{
    return {FileProc::IoErrorText(errnoValue), false};
}

// Claims the blocks past the old end by writing zeros there (for file systems without fallocate).
// A file with holes would need blocks inside its old length too, which cannot be claimed without
// changing it: refused as a full disk would be.
bool ClaimByWriting(int fd, const struct stat& old, off_t length)
{
    if (old.st_blocks * kBlockBytes < old.st_size) {
        errno = ENOSPC;
        return false;
    }
    const QByteArray zeros(64 * 1024, '\0');
    for (off_t at = old.st_size; at < length;) {
        const size_t step = static_cast<size_t>(std::min<off_t>(length - at, zeros.size()));
        const ssize_t written = ::pwrite(fd, zeros.constData(), step, at);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        at += written;
    }
    return ::fsync(fd) == 0;
}

// Room for length bytes, or false (errno set) with the file as it was: its old length, its old bytes.
bool Reserve(int fd, const struct stat& old, off_t length)
{
    if (length <= 0)
        return true;
    bool claimed = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, length) == 0;
    if (!claimed && errno == EOPNOTSUPP)
        claimed = ClaimByWriting(fd, old, length);
    if (claimed)
        return true;
    const int cause = errno;
    ::ftruncate(fd, old.st_size); // gives back what was claimed past the old end
    errno = cause;
    return false;
}

} // namespace

FileWrite::Result Write(int folderFd, const QByteArray& name, const QByteArray& data, const FileWrite::Options& options)
{
    const int fd = ::openat(folderFd, name.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Failure(errno);
    struct stat status {};
    FileWrite::Result result;
    const off_t length = static_cast<off_t>(data.size() + options.extra.size());
    if (::fstat(fd, &status) != 0)
        result = Failure(errno);
    else if (!S_ISREG(status.st_mode))
        result = {QStringLiteral("Not a regular file."), false};
    else if (options.newFile == FileWrite::NewFile::Private && status.st_uid != ::geteuid())
        // Its owner could read it, and nobody here may change who can.
        result = {Language::GetProgramText(kForeignFileText, options.language), false};
    else if (!Reserve(fd, status, length))
        result = Failure(errno);
    else if (!FileWrite::WriteAll(fd, data) || !FileWrite::WriteAll(fd, options.extra) ||
             ::ftruncate(fd, length) != 0 || ::fsync(fd) != 0)
        result = Failure(errno);
    if (::close(fd) != 0 && errno != EINTR && result.ok())
        result = Failure(errno);
    return result;
}

} // namespace InPlace
