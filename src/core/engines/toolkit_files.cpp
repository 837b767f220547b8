// The toolkit's file operations: secure overwrite and exclusive creation of temporary files.

#include "engines/toolkit.h"

#include <sodium.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace {

constexpr int32_t OverwriteOk = 0;
constexpr int32_t OverwriteBadArgument = -1;
constexpr int32_t OverwriteCannotOpen = -2;
constexpr int32_t OverwriteNotRegularFile = -3;
constexpr int32_t OverwriteWriteFailed = -4;
constexpr int32_t OverwriteFlushFailed = -5;

bool WriteAll(int fd, const unsigned char* data, size_t length, off_t offset)
{
    while (length > 0) {
        const ssize_t written = pwrite(fd, data, length, offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<size_t>(written);
        offset += written;
    }
    return true;
}

// Each block is libsodium's ChaCha20 keystream under a fresh seed from the system generator: as
// unpredictable as asking the kernel for every byte, at several times its speed on a large file.
bool WriteRandomPass(int fd, off_t fileLength)
{
    std::array<unsigned char, 64 * 1024> block{};
    std::array<unsigned char, randombytes_SEEDBYTES> seed{};
    bool written = true;
    for (off_t offset = 0; written && offset < fileLength;) {
        const size_t chunk = static_cast<size_t>(std::min<off_t>(fileLength - offset, block.size()));
        randombytes_buf(seed.data(), seed.size());
        randombytes_buf_deterministic(block.data(), chunk, seed.data());
        written = WriteAll(fd, block.data(), chunk, offset);
        offset += static_cast<off_t>(chunk);
    }
    sodium_memzero(seed.data(), seed.size());
    return written;
}

} // namespace

extern "C" {

// One pass of random bytes over the whole length, then a flush to the device. More passes add
// nothing on current disks and flash storage (NIST SP 800-88 "Clear"), so count is only an upper
// bound. The cluster arguments have no use here: a Linux file system never shows a reader the
// bytes of a block beyond the file's end.
int32_t overwrite_file(const char* path, int32_t count, int32_t /*clusterFlag*/, int32_t /*clusterSize*/)
{
    if (path == nullptr || count < 1 || sodium_init() < 0)
        return OverwriteBadArgument;
    // O_NOFOLLOW: a link planted at a temporary name must not aim the overwrite at another file.
    // O_NONBLOCK: opening a FIFO must not hang; it is refused below anyway.
    const int fd = open(path, O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OverwriteCannotOpen;
    struct stat status {};
    int32_t result = OverwriteOk;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        result = OverwriteNotRegularFile;
    else if (!WriteRandomPass(fd, status.st_size))
        result = OverwriteWriteFailed;
    else if (fsync(fd) != 0)
        result = OverwriteFlushFailed;
    close(fd);
    return result;
}

// Creates the file there and then, exclusively: testing a name and creating it later would let
// another process plant a file or a link at it in between.
int32_t new_file_creatable(const char* path)
{
    if (path == nullptr || *path == '\0')
        return 0;
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return 0;
    // The umask may have taken bits away, never given more; make the mode exactly 0600.
    const bool modeSet = fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    close(fd);
    if (!modeSet) {
        unlink(path);
        return 0;
    }
    return 1;
}
}
