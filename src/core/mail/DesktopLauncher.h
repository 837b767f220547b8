#pragma once
// Starts the desktop's helpers (xdg-email for a new e-mail, xdg-open for a folder) on the user's
// behalf, the way a program the user started from the desktop would run: found on PATH, with none
// of this program's environment secrets, in a session of its own and with none of this program's
// files open, so that quitting Quillet neither closes the mail program nor hands it anything.
//
// Whether a helper worked shows only in how it ends, and a helper that opened the mail program may
// run as long as the mail program does. So a helper is watched for a while: ending with status 0
// means started, ending otherwise means failed, and still running when the watch ends means the
// program it started is up. Helpers that outlive the watch are collected when they end.

#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <sys/types.h>
#include <vector>

enum class LaunchResult {
    Started,      // the helper ended well, or still ran when the watch ended
    NotInstalled, // no such program on PATH
    Failed,       // it could not be run, or ended with an error
};

struct LaunchOutcome {
    LaunchResult result = LaunchResult::Started;
    int exitStatus = 0; // Failed: the helper's exit status; -1 when it could not be run or was killed
};

class DesktopLauncher {
  public:
    using Done = std::function<void(const LaunchOutcome&)>;

    // How long a helper is watched before it counts as started.
    static constexpr int WatchMs = 5000;

    DesktopLauncher();
    // Leaves the helpers running; their outcomes are no longer reported.
    ~DesktopLauncher();
    DesktopLauncher(const DesktopLauncher&) = delete;
    DesktopLauncher& operator=(const DesktopLauncher&) = delete;

    // Starts `program` (a name looked up on PATH) with `arguments`, each handed over as it stands,
    // with no shell between. `done` is called once with the outcome: at once when the program cannot
    // be started, else from the event loop.
    void Launch(const QString& program, const QStringList& arguments, Done done);

  private:
    struct Helper {
        pid_t pid;
        qint64 startedMs;
        Done done; // empty once reported
    };
    void Poll();

    std::vector<Helper> helpers_;
    QTimer poll_;
};
