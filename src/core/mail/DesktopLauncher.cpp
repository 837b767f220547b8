#include "mail/DesktopLauncher.h"

#include "files/ProgramStart.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <utility>

namespace {

constexpr int PollMs = 50;
// Once no helper is watched any more, the ones still running are only collected when they end.
constexpr int CollectMs = 1000;

qint64 NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The environment a helper gets: this program's, without the variables that may carry a secret.
std::vector<QByteArray> HelperEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QString::fromLatin1(ProgramStart::KeyVariable));
    std::vector<QByteArray> entries;
    for (const QString& entry : environment.toStringList())
        entries.push_back(entry.toLocal8Bit());
    return entries;
}

std::vector<char*> Pointers(std::vector<QByteArray>& strings)
{
    std::vector<char*> pointers;
    for (QByteArray& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Starts the helper in a new session, its input from /dev/null, only the standard outputs shared
// (its complaints reach the terminal Quillet was started from), every signal as a new program has it.
// The pid, or -1 with errno set.
pid_t Spawn(const QByteArray& path, std::vector<QByteArray>& argv, std::vector<QByteArray>& envp)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> arguments = Pointers(argv);
    std::vector<char*> environment = Pointers(envp);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, path.constData(), &actions, &attributes, arguments.data(), environment.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return pid;
}

LaunchOutcome OutcomeOf(int status)
{
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {LaunchResult::Started, 0};
    return {LaunchResult::Failed, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace

DesktopLauncher::DesktopLauncher()
{
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
}

DesktopLauncher::~DesktopLauncher() = default;

void DesktopLauncher::Launch(const QString& program, const QStringList& arguments, Done done)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        done({LaunchResult::NotInstalled, -1});
        return;
    }
    std::vector<QByteArray> argv{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        argv.push_back(QFile::encodeName(argument));
    std::vector<QByteArray> envp = HelperEnvironment();
    const pid_t pid = Spawn(QFile::encodeName(path), argv, envp);
    if (pid < 0) {
        done({LaunchResult::Failed, -1});
        return;
    }
    helpers_.push_back({pid, NowMs(), std::move(done)});
    poll_.start(PollMs);
}

void DesktopLauncher::Poll()
{
    const qint64 now = NowMs();
    // Outcomes are reported after the list is settled: a report may start another helper.
    std::vector<std::pair<Done, LaunchOutcome>> reports;
    for (auto helper = helpers_.begin(); helper != helpers_.end();) {
        int status = 0;
        const pid_t ended = waitpid(helper->pid, &status, WNOHANG);
        if (ended == helper->pid || (ended < 0 && errno == ECHILD)) {
            if (helper->done)
                reports.emplace_back(std::move(helper->done),
                                     ended == helper->pid ? OutcomeOf(status) : LaunchOutcome{});
            helper = helpers_.erase(helper);
            continue;
        }
        if (helper->done && now - helper->startedMs >= WatchMs)
            reports.emplace_back(std::exchange(helper->done, {}), LaunchOutcome{});
        ++helper;
    }
    const bool watching = std::any_of(helpers_.begin(), helpers_.end(), [](const Helper& h) { return bool(h.done); });
    if (helpers_.empty())
        poll_.stop();
    else
        poll_.setInterval(watching ? PollMs : CollectMs);
    for (auto& [done, outcome] : reports)
        done(outcome);
}
