#include "engines/AtomicOutput.h"

#include <QFileInfo>
#include <sodium.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

constexpr int kNameAttempts = 16;

QString random_suffix()
{
    unsigned char bytes[6];
    randombytes_buf(bytes, sizeof bytes);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex());
}

} // namespace

AtomicOutput::AtomicOutput(QString finalPath) : finalPath_(std::move(finalPath)) {}

AtomicOutput::~AtomicOutput()
{
    if (!committed_)
        discard();
}

bool AtomicOutput::open()
{
    const QFileInfo target(finalPath_);
    if (finalPath_.isEmpty() || target.fileName().isEmpty())
        return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString candidate =
            target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.') + random_suffix();
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        descriptor_ = fd;
        tempPath_ = candidate;
        return file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
    }
    return false;
}

// No sync to the device: the engines write only into a pipeline's working folder, whose files are
// consumed and deleted within the run (a crash loses the run anyway). The file that must survive a
// crash, the ciphertext or the saved attachment, is written and synced by the pipeline. Syncing
// here would also put compressed or decrypted plain text on the disk just before it is shredded.
bool AtomicOutput::commit()
{
    if (descriptor_ < 0 || !file_.flush())
        return false;
    file_.close();
    descriptor_ = -1;
    if (std::rename(QFile::encodeName(tempPath_).constData(), QFile::encodeName(finalPath_).constData()) != 0)
        return false;
    committed_ = true;
    return true;
}

// The temporary file may hold plain text (a decrypted or decompressed package): overwrite it once
// before it goes, so the freed blocks do not keep it.
void AtomicOutput::discard()
{
    if (tempPath_.isEmpty())
        return;
    QFile wipe(tempPath_);
    if (wipe.open(QIODevice::ReadWrite)) {
        const std::vector<char> zeros(64 * 1024, 0);
        for (qint64 left = wipe.size(); left > 0;) {
            const qint64 step = std::min<qint64>(left, static_cast<qint64>(zeros.size()));
            if (wipe.write(zeros.data(), step) != step)
                break;
            left -= step;
        }
        wipe.flush();
        ::fsync(wipe.handle());
        wipe.close();
    }
    file_.close();
    QFile::remove(tempPath_);
    tempPath_.clear();
}

namespace {

// The run itself; on failure `cause` keeps errno as the failing call left it, before the clean-up
// of the output (which makes calls of its own) can change it.
int32_t run_operation(const char* inputPath, const char* outputPath, const FileOperation& operation, int& cause)
{
    constexpr int32_t kInputUnreadable = -1;
    constexpr int32_t kOutputUnwritable = -2;
    if (!inputPath || !outputPath) {
        cause = EINVAL;
        return !inputPath ? kInputUnreadable : kOutputUnwritable;
    }
    QFile in(QString::fromUtf8(inputPath));
    if (!in.open(QIODevice::ReadOnly)) {
        cause = errno;
        return kInputUnreadable;
    }
    AtomicOutput out(QString::fromUtf8(outputPath));
    if (!out.open()) {
        cause = errno;
        return kOutputUnwritable;
    }
    errno = 0;
    const int32_t result = operation(in, out.device());
    if (result != 0) {
        cause = errno;
        return result; // the output is wiped and removed with `out`
    }
    if (out.commit())
        return 0;
    cause = errno;
    return kOutputUnwritable;
}

} // namespace

int32_t run_file_to_file(const char* inputPath, const char* outputPath, const FileOperation& operation)
{
    int cause = 0;
    const int32_t result = run_operation(inputPath, outputPath, operation, cause);
    if (result != 0)
        errno = cause;
    return result;
}
