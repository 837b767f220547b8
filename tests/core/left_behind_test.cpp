// What a crash, a kill or a signal leaves on the disk and in a core file: no core file, no working
// folder of a dead run after the next start, nothing of a run a signal ended. The processes that
// die here are children forked for the purpose; the command line's own tests kill the real program.
#include "files/DiskProc.h"
#include "files/FolderOwner.h"
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

// The id of a process that has ended (a child that was reaped).
pid_t EndedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

void WriteRecord(const QString& folder, const QByteArray& record)
{
    PutFile(folder + "/" + FolderOwner::RecordName, record, 0600);
}

// This process's start time as its working folders record it.
QByteArray OwnRecord()
{
    QTemporaryDir probe;
    const int fd = open(QFile::encodeName(probe.path()).constData(), O_RDONLY | O_DIRECTORY);
    FolderOwner::Record(fd);
    close(fd);
    return FileContent(probe.filePath(FolderOwner::RecordName));
}

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
        ASSERT_EQ(
            link(QFile::encodeName(folder + "/temp01.cpr").constData(), QFile::encodeName(at("witness")).constData()),
            0);

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
        EXPECT_EQ(FileContent(at("witness")).size(), secret.size());
        EXPECT_NE(FileContent(at("witness")), secret) << "overwritten before it was deleted";
        QFile::remove(at("witness"));
    }
}

// Working folders under a base: only our own folders of processes that have ended go, shredded.
TEST_F(LeftBehindTest, TheNextStartShredsOnlyFoldersOfEndedRunsOfThisUser)
{
    const QByteArray secret = QByteArray("the compressed package ").repeated(100);
    auto makeRun = [&](const QString& name, const QByteArray& record) {
        ASSERT_TRUE(QDir().mkpath(at(name)));
        PutFile(at(name + "/temp01.cpr"), secret, 0600);
        if (!record.isEmpty())
            WriteRecord(at(name), record);
    };
    const QByteArray ownRecord = OwnRecord();
    const QByteArray ownPid = QByteArray::number(getpid());
    makeRun("temp_zeb001", QByteArray::number(EndedProcess()) + " 12345\n"); // killed run
    makeRun("temp_zeb002", ownRecord);                                       // a run under way
    makeRun("temp_zeb003", ownPid + " 1\n");                                 // our id, reused
    makeRun("temp_zeb004", {});                                              // no record, still for long
    SetAge(at("temp_zeb004"), 3600);
    makeRun("temp_zeb005", {});                                        // no record, just made
    makeRun("temp_zeb006", "not a record at all");                     // unreadable record, fresh
    makeRun("elsewhere", QByteArray::number(EndedProcess()) + " 1\n"); // reached through a link
    ASSERT_TRUE(QFile::link(at("elsewhere"), at("temp_zeb007")));
    PutFile(at("temp_zeb008"), "a file of that name", 0600);
    makeRun("temp_zeb1000", QByteArray::number(EndedProcess()) + " 1\n"); // not one of our names
    ASSERT_EQ(
        link(QFile::encodeName(at("temp_zeb001/temp01.cpr")).constData(), QFile::encodeName(at("witness")).constData()),
        0);
    const bool canChown = geteuid() == 0;
    if (canChown) {
        makeRun("temp_zeb009", QByteArray::number(EndedProcess()) + " 1\n"); // someone else's
        ASSERT_EQ(chown(QFile::encodeName(at("temp_zeb009")).constData(), 65534, 65534), 0);
    }

    EXPECT_EQ(RemoveLeftBehindFolders(dir.path()), 3);

    EXPECT_FALSE(Exists(at("temp_zeb001")));
    EXPECT_TRUE(Exists(at("temp_zeb002/temp01.cpr"))) << "its process runs";
    EXPECT_FALSE(Exists(at("temp_zeb003"))) << "the id now names another process";
    EXPECT_FALSE(Exists(at("temp_zeb004")));
    EXPECT_TRUE(Exists(at("temp_zeb005/temp01.cpr"))) << "may be a run that is just starting";
    EXPECT_TRUE(Exists(at("temp_zeb006/temp01.cpr")));
    EXPECT_EQ(FileContent(at("elsewhere/temp01.cpr")), secret) << "a link is never followed";
    EXPECT_TRUE(QFileInfo(at("temp_zeb007")).isSymLink());
    EXPECT_EQ(FileContent(at("temp_zeb008")), "a file of that name");
    EXPECT_TRUE(Exists(at("temp_zeb1000/temp01.cpr")));
    if (canChown) {
        EXPECT_TRUE(Exists(at("temp_zeb009/temp01.cpr"))) << "someone else's folder";
    }
    EXPECT_EQ(FileContent(at("witness")).size(), secret.size());
    EXPECT_NE(FileContent(at("witness")), secret) << "shredded, not only deleted";
}

TEST_F(LeftBehindTest, NothingIsRemovedFromABaseOthersMayWriteTo)
{
    ASSERT_TRUE(QDir().mkpath(at("shared/temp_zeb001")));
    WriteRecord(at("shared/temp_zeb001"), QByteArray::number(EndedProcess()) + " 1\n");
    ASSERT_EQ(chmod(QFile::encodeName(at("shared")).constData(), 01777), 0);
    EXPECT_EQ(RemoveLeftBehindFolders(at("shared")), 0);
    EXPECT_TRUE(Exists(at("shared/temp_zeb001")));
}

// A working folder made by this process records it, so the next start leaves it alone while this
// process runs.
TEST_F(LeftBehindTest, AWorkingFolderRecordsItsOwnerAndIsLeftAloneWhileItRuns)
{
    WorkingFolders folders(dir.path());
    folders.MakeWorkingFolder();
    ASSERT_EQ(folders.WorkingFolder(), at("temp_zeb001/"));
    EXPECT_EQ(FileContent(at("temp_zeb001/owner")), OwnRecord());
    EXPECT_EQ(ModeOf(at("temp_zeb001/owner")), 0600u);
    EXPECT_EQ(RemoveLeftBehindFolders(dir.path()), 0);
    EXPECT_TRUE(Exists(at("temp_zeb001")));
    folders.RemoveWorkingFolder();
    EXPECT_FALSE(Exists(at("temp_zeb001")));
}
