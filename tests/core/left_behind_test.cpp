// What a crash, a kill or a signal leaves on the disk and in a core file: no core file, no working
// folder of a dead run after the next start, nothing of a run a signal ended. The processes that
// die here are children forked for the purpose; the command line's own tests kill the real program.
#include "files/DiskProc.h"
#include "files/FolderLock.h"
#include "files/InterruptCleanup.h"
#include "files/ProgramStart.h"
#include "files/WorkingFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/files_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace {

using LeftBehindTest = TempFolderTest;

// Runs body in a forked child and returns how the child ended (as waitpid reports it).
template <typename Body> int InChild(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// Keeps a file open so that what becomes of its content can be read after its name is gone: a
// hard link would be a second name, whose content the clean-up rightly leaves alone.
class Witness {
  public:
    explicit Witness(const QString& path) : file_(path)
    {
        EXPECT_TRUE(file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    }
    QByteArray content() { return file_.seek(0) ? file_.readAll() : QByteArray("<unreadable>"); }

  private:
    QFile file_;
};

// A lock file nobody holds: the run that made it is gone.
void LeaveLock(const QString& folder)
{
    PutFile(folder + "/" + FolderLock::LockName, {}, 0600);
}

// A process of its own (so with an unrelated process id, as in another PID namespace) that holds
// the folder's lock until it is killed.
class LockHolder {
  public:
    explicit LockHolder(const QString& folder)
    {
        LeaveLock(folder);
        const QByteArray lockPath = QFile::encodeName(folder + "/" + FolderLock::LockName);
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        child_ = fork();
        if (child_ == 0) {
            const int fd = open(lockPath.constData(), O_RDONLY);
            const char held = fd >= 0 && flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            [[maybe_unused]] const ssize_t told = write(ready[1], &held, 1);
            pause();
            _exit(0);
        }
        close(ready[1]);
        pollfd wait{ready[0], POLLIN, 0};
        char held = 0;
        EXPECT_TRUE(poll(&wait, 1, 10000) == 1 && read(ready[0], &held, 1) == 1 && held == 'y');
        close(ready[0]);
    }
    ~LockHolder()
    {
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

  private:
    pid_t child_ = -1;
};

void SetAge(const QString& path, int seconds)
{
    const struct utimbuf past {
        time(nullptr) - seconds, time(nullptr) - seconds
    };
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &past), 0);
}

} // namespace

TEST(ProgramStart, TheProcessCannotDumpCore)
{
    const int status = InChild([] {
        if (!ProgramStart::ForbidCoreDumps())
            _exit(1);
        if (prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0)
            _exit(2);
        struct rlimit core {};
        if (getrlimit(RLIMIT_CORE, &core) != 0 || core.rlim_cur != 0 || core.rlim_max != 0)
            _exit(3);
        // The hard limit is 0 too: nothing in the process can raise it again.
        const struct rlimit raise {
            RLIM_INFINITY, RLIM_INFINITY
        };
        if (geteuid() != 0 && setrlimit(RLIMIT_CORE, &raise) == 0)
            _exit(4);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: refused, 2: still dumpable, 3: core size not 0, 4: limit raised";
}

// Each of the three signals shreds the watched working folder and a watched file, then ends the
// process as the signal would have. A hard link kept outside shows that the file was overwritten
// before it was deleted.
TEST_F(LeftBehindTest, ASignalShredsTheWatchedFoldersAndFiles)
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        const QString folder = at(QStringLiteral("run%1").arg(signalNumber));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QByteArray secret = QByteArray("compressed plain text ").repeated(500);
        PutFile(folder + "/temp01.cpr", secret, 0600);
        PutFile(at("temp02.plt"), secret, 0600);
        Witness witness(folder + "/temp01.cpr");

        const int status = InChild([&] {
            InterruptCleanup::Install();
            InterruptCleanup::Watch(folder + "/");
            InterruptCleanup::Watch(at("temp02.plt"));
            raise(signalNumber);
            pause(); // the waiting thread ends the process
        });

        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, as without the handler";
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_FALSE(Exists(folder));
        EXPECT_FALSE(Exists(at("temp02.plt")));
        const QByteArray after = witness.content();
        EXPECT_EQ(after.size(), secret.size());
        EXPECT_NE(after, secret) << "overwritten before it was deleted";
    }
}

// Working folders under a base: only our own folders whose lock nobody holds go, shredded.
TEST_F(LeftBehindTest, TheNextStartShredsOnlyFoldersWhoseLockIsFree)
{
    const QByteArray secret = QByteArray("the compressed package ").repeated(100);
    auto makeRun = [&](const QString& name, bool withLock) {
        ASSERT_TRUE(QDir().mkpath(at(name)));
        PutFile(at(name + "/temp01.cpr"), secret, 0600);
        if (withLock)
            LeaveLock(at(name));
    };
    makeRun("temp_zeb001", true); // killed run: its lock went with it
    makeRun("temp_zeb002", false);
    const LockHolder running(at("temp_zeb002")); // a run under way, in a process of its own
    makeRun("temp_zeb004", false);               // no lock, still for long: an older version's
    SetAge(at("temp_zeb004"), 3600);
    makeRun("temp_zeb005", false); // no lock, just made: a run that is starting
    makeRun("elsewhere", true);    // reached through a link
    ASSERT_TRUE(QFile::link(at("elsewhere"), at("temp_zeb007")));
    PutFile(at("temp_zeb008"), "a file of that name", 0600);
    makeRun("temp_zeb1000", true); // not one of our names
    Witness witness(at("temp_zeb001/temp01.cpr"));
    const bool canChown = geteuid() == 0;
    if (canChown) {
        makeRun("temp_zeb009", true); // someone else's
        ASSERT_EQ(chown(QFile::encodeName(at("temp_zeb009")).constData(), 65534, 65534), 0);
    }

    EXPECT_EQ(RemoveLeftBehindFolders(dir.path()), 2);

    EXPECT_FALSE(Exists(at("temp_zeb001")));
    EXPECT_EQ(FileContent(at("temp_zeb002/temp01.cpr")), secret) << "a live process holds its lock";
    EXPECT_FALSE(Exists(at("temp_zeb004")));
    EXPECT_TRUE(Exists(at("temp_zeb005/temp01.cpr"))) << "may be a run that is just starting";
    EXPECT_EQ(FileContent(at("elsewhere/temp01.cpr")), secret) << "a link is never followed";
    EXPECT_TRUE(QFileInfo(at("temp_zeb007")).isSymLink());
    EXPECT_EQ(FileContent(at("temp_zeb008")), "a file of that name");
    EXPECT_TRUE(Exists(at("temp_zeb1000/temp01.cpr")));
    if (canChown) {
        EXPECT_TRUE(Exists(at("temp_zeb009/temp01.cpr"))) << "someone else's folder";
    }
    const QByteArray after = witness.content();
    EXPECT_EQ(after.size(), secret.size());
    EXPECT_NE(after, secret) << "shredded, not only deleted";
}

// A stale folder may hold a second name of a file the user keeps; only that name goes.
TEST_F(LeftBehindTest, AHardLinkInAStaleFolderLeavesTheUsersFileAsItWas)
{
    const QByteArray notes = "my own notes, kept elsewhere\n";
    PutFile(at("notes.txt"), notes, 0600);
    ASSERT_TRUE(QDir().mkpath(at("temp_zeb001")));
    LeaveLock(at("temp_zeb001"));
    ASSERT_EQ(link(QFile::encodeName(at("notes.txt")).constData(),
                   QFile::encodeName(at("temp_zeb001/temp01.plt")).constData()),
              0);

    EXPECT_EQ(RemoveLeftBehindFolders(dir.path()), 1);
    EXPECT_FALSE(Exists(at("temp_zeb001")));
    EXPECT_EQ(FileContent(at("notes.txt")), notes);
}

// Every start looks in both places a run may have worked in: a run started without
// $XDG_RUNTIME_DIR (ssh, cron) worked under the temporary folder, and a later start that has the
// variable still finds its folder there.
TEST_F(LeftBehindTest, EveryStartCleansBothPlaces)
{
    ASSERT_TRUE(QDir().mkpath(at("runtime")) && QDir().mkpath(at("tmp")));
    ASSERT_EQ(chmod(QFile::encodeName(at("runtime")).constData(), 0700), 0);
    const QString underTemp = at(QStringLiteral("tmp/quillet-%1").arg(geteuid()));
    for (const QString& base : {at("runtime"), underTemp}) {
        ASSERT_TRUE(QDir().mkpath(base + "/temp_zeb001"));
        ASSERT_EQ(chmod(QFile::encodeName(base).constData(), 0700), 0);
        PutFile(base + "/temp_zeb001/temp01.cpr", "left behind", 0600);
        LeaveLock(base + "/temp_zeb001");
    }
    const QByteArray runtime = QFile::encodeName(at("runtime")), temporary = QFile::encodeName(at("tmp"));
    const int status = InChild([&] {
        setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
        setenv("TMPDIR", temporary.constData(), 1);
        _exit(RemoveLeftBehindFolders());
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_FALSE(Exists(at("runtime/temp_zeb001")));
    EXPECT_FALSE(Exists(underTemp + "/temp_zeb001"));
}

TEST_F(LeftBehindTest, NothingIsRemovedFromABaseOthersMayWriteTo)
{
    ASSERT_TRUE(QDir().mkpath(at("shared/temp_zeb001")));
    LeaveLock(at("shared/temp_zeb001"));
    ASSERT_EQ(chmod(QFile::encodeName(at("shared")).constData(), 01777), 0);
    EXPECT_EQ(RemoveLeftBehindFolders(at("shared")), 0);
    EXPECT_TRUE(Exists(at("shared/temp_zeb001")));
}

// A working folder made by this process holds its lock for as long as the run lasts, so another
// start leaves it alone; once the run is over, nothing of it remains.
TEST_F(LeftBehindTest, AWorkingFolderIsLockedWhileItsRunLasts)
{
    WorkingFolders folders(dir.path());
    folders.MakeWorkingFolder();
    ASSERT_EQ(folders.WorkingFolder(), at("temp_zeb001/"));
    EXPECT_EQ(ModeOf(at("temp_zeb001/lock")), 0600u);
    // Another start is another process: a lock of this one's own would be taken again here.
    const int status = InChild([&] { _exit(RemoveLeftBehindFolders(dir.path())); });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Exists(at("temp_zeb001")));
    folders.RemoveWorkingFolder();
    EXPECT_FALSE(Exists(at("temp_zeb001")));
}
