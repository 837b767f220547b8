#include "files/InterruptCleanup.h"

#include "files/Cleanup.h"

#include <QFile>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace InterruptCleanup {

namespace {

constexpr int CaughtSignals[] = {SIGINT, SIGTERM, SIGHUP};
// More than a run ever has files in flight at once.
constexpr int ShredAttempts = 100;

// The write end of the self-pipe, for the handler; -1 until Install.
std::atomic<int> signalPipe{-1};

// The paths to shred, guarded by their mutex. Process-wide by nature: a signal ends the whole
// process, whichever object made the folder.
std::mutex& WatchedMutex()
{
    static std::mutex mutex;
    return mutex;
}

QStringList& Watched()
{
    static QStringList paths;
    return paths;
}

struct WatchedTerminal {
    int fd;
    termios saved;
};

// Guarded by WatchedMutex too.
std::vector<WatchedTerminal>& Terminals()
{
    static std::vector<WatchedTerminal> terminals;
    return terminals;
}

void OnSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(signalPipe.load(), &number, 1);
    errno = savedErrno;
}

void ShredPath(const QString& path)
{
    struct stat status {};
    if (lstat(QFile::encodeName(path).constData(), &status) != 0)
        return;
    QString ignored; // the process is about to end; there is nobody to tell
    if (!S_ISDIR(status.st_mode)) {
        Cleanup::ShredAndDelete(path);
        return;
    }
    // The run goes on in its own thread meanwhile and may put a new file into the folder just after
    // it was emptied, so the folder stays; once the folder is gone, nothing can be put into it.
    for (int attempt = 0; attempt < ShredAttempts; ++attempt) {
        if (Cleanup::ShredFolderTree(path, ignored) || lstat(QFile::encodeName(path).constData(), &status) != 0)
            return;
    }
}

// Waits for a signal's number, shreds everything watched and ends the process with that signal.
// The mutex stays locked, so no run can hand over a new path in the meantime.
[[noreturn]] void WaitAndShred(int readEnd)
{
    unsigned char number = 0;
    while (read(readEnd, &number, 1) != 1) {
    }
    WatchedMutex().lock();
    // The terminal first: a person is waiting at it, and it must not stay without echo.
    for (const WatchedTerminal& terminal : Terminals())
        tcsetattr(terminal.fd, TCSANOW, &terminal.saved);
    for (const QString& path : Watched())
        ShredPath(path);
    signal(number, SIG_DFL);
    raise(number);
    _exit(128 + number); // a signal that was blocked in this thread
}

} // namespace

bool Install()
{
    if (signalPipe.load() >= 0)
        return true;
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    try {
        std::thread(WaitAndShred, ends[0]).detach();
    } catch (const std::system_error&) {
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    signalPipe.store(ends[1]);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : CaughtSignals)
        sigaction(signalNumber, &action, nullptr);
    return true;
}

void Watch(const QString& path)
{
    if (path.isEmpty())
        return;
    const std::lock_guard<std::mutex> lock(WatchedMutex());
    Watched().append(path);
}

void Forget(const QString& path)
{
    const std::lock_guard<std::mutex> lock(WatchedMutex());
    Watched().removeOne(path);
}

void WatchTerminal(int fd, const termios& saved)
{
    const std::lock_guard<std::mutex> lock(WatchedMutex());
    Terminals().push_back({fd, saved});
}

void ForgetTerminal(int fd)
{
    const std::lock_guard<std::mutex> lock(WatchedMutex());
    std::erase_if(Terminals(), [fd](const WatchedTerminal& terminal) { return terminal.fd == fd; });
}

} // namespace InterruptCleanup
