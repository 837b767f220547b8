// Writing the files the user keeps, as seen by a second local user, a signal, a kill and a race:
// links planted in shared folders, staging files, names that must stay kept, a full disk.
#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/InterruptCleanup.h"
#include "files/StagingFile.h"
#include "texts/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/files_test_support.h"
#include "support/FullFileSystem.h"
#include "support/LoopFileSystem.h"
#include "support/ProgramTexts.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

constexpr uid_t kOtherUser = 65534; // "nobody": a second local user without a home of its own
constexpr int kLinkNotFollowed = 490;
constexpr int kOtherUsersFile = 491;

class FileWriteTest : public TempFolderTest {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    QStringList Entries(const QString& folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    }
};

void ChangeOwner(const QString& path, uid_t owner)
{
    ASSERT_EQ(lchown(QFile::encodeName(path).constData(), owner, static_cast<gid_t>(-1)), 0) << path.toStdString();
}

// Runs body in a child process and returns its wait status; body's result is the exit code.
int InChild(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

// --- links in shared folders -----------------------------------------------------------------

// A link is followed only where the kernel's protected_symlinks would follow it: not when it lies
// in a sticky folder everybody may write in and belongs to neither the user nor the folder's owner.
TEST_F(FileWriteTest, ALinkInASharedFolderIsFollowedOnlyWhenTheUserOrTheFolderOwnerMadeIt)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "links of a second user need root to be made";
    struct Case {
        const char* name;
        mode_t folderMode;
        uid_t folderOwner;
        uid_t linkOwner;
        bool followed;
    } const cases[] = {
        {"another user's link in a shared folder", 01777, 0, kOtherUser, false},
        {"the user's own link in a shared folder", 01777, 0, 0, true},
        {"the folder owner's link", 01777, kOtherUser, kOtherUser, true},
        {"a folder without the sticky bit", 0777, 0, kOtherUser, true},
        {"a sticky folder not everybody may write in", 01775, 0, kOtherUser, true},
    };
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString shared = at("shared");
        ASSERT_TRUE(QDir().mkpath(shared));
        ASSERT_EQ(chmod(QFile::encodeName(shared).constData(), c.folderMode), 0);
        ChangeOwner(shared, c.folderOwner);
        PutFile(at(".bash_login"), "echo earlier\n", 0600);
        const QString link = shared + "/letter.txt";
        ASSERT_TRUE(QFile::link(at(".bash_login"), link));
        ChangeOwner(link, c.linkOwner);

        const QString error = FileProc::WriteStringToFile("the sender's text\n", link, {},
                                                          FileProc::NewFileAccess::OwnerOnly, Language::German);
        if (c.followed) {
            EXPECT_EQ(error, QString());
            EXPECT_EQ(FileContent(at(".bash_login")), "the sender's text\n");
        } else {
            EXPECT_EQ(error, Text(kLinkNotFollowed, Language::German) + ' ' + link);
            EXPECT_EQ(FileContent(at(".bash_login")), "echo earlier\n");
        }
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link itself stays";
        ASSERT_TRUE(QDir(shared).removeRecursively());
    }
}

// A replaced file keeps its mode only when it is the user's own: another user's 0666 file does not
// make the user's plain text readable by everybody.
TEST_F(FileWriteTest, AReplacedFileKeepsItsModeOnlyWhenItIsTheUsersOwn)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a file of a second user needs root to be made";
    using Access = FileProc::NewFileAccess;
    struct Case {
        const char* name;
        uid_t owner;
        Access access;
        mode_t expected;
    } const cases[] = {
        {"the user's own readable file, plain text", 0, Access::OwnerOnly, 0644},
        {"another user's file, plain text", kOtherUser, Access::OwnerOnly, 0600},
        {"another user's file, ciphertext", kOtherUser, Access::FollowUmask, 0644},
    };
    const mode_t oldMask = umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = at("letter.txt");
        PutFile(path, "earlier", c.owner == 0 ? 0644 : 0666);
        ChangeOwner(path, c.owner);
        EXPECT_EQ(FileProc::WriteStringToFile("the message", path, {}, c.access), QString());
        EXPECT_EQ(ModeOf(path), c.expected);
        struct stat status {};
        ASSERT_EQ(lstat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_EQ(status.st_uid, geteuid());
        EXPECT_EQ(FileContent(path), "the message");
        QFile::remove(path);
    }
    umask(oldMask);
}

// In a folder the user may not write in, a file is written in place. Plain text never goes into a
// file of another user's, who could read it; a ciphertext may.
TEST_F(FileWriteTest, PlainTextIsNeverWrittenInPlaceIntoAnotherUsersFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a second user needs root";
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    PutFile(at("locked/plain.txt"), "earlier", 0666);
    PutFile(at("locked/cipher.zip"), "earlier", 0666);
    ASSERT_EQ(chmod(QFile::encodeName(at("locked")).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const int status = InChild([&] {
        if (setuid(kOtherUser) != 0)
            return 3;
        const FileWrite::Result plain = FileWrite::WriteUserFile(
            at("locked/plain.txt"), "the message", {FileWrite::Existing::Replace, FileWrite::NewFile::Private});
        const FileWrite::Result cipher =
            FileWrite::WriteUserFile(at("locked/cipher.zip"), "ciphertext", {FileWrite::Existing::Replace});
        return plain.error == Text(kOtherUsersFile) && cipher.ok() ? 0 : 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileContent(at("locked/plain.txt")), "earlier");
    EXPECT_EQ(FileContent(at("locked/cipher.zip")), "ciphertext");
}

// --- staging, signals and kills ----------------------------------------------------------------

// A real child process is stopped by a signal (or killed) at the moment its complete plain file is
// about to take its name. Nothing of it is beside the target afterwards: the file had no name, or
// the signal clean-up shredded it. A kill leaves a named staging file, which the next write into
// that folder removes.
TEST_F(FileWriteTest, ASignalOrAKillAtTheWriteLeavesNoPlainTextBesideTheTarget)
{
    const QByteArray plain = QByteArray("the decrypted attachment ").repeated(80000); // 2 MB
    for (const bool named : {false, true}) {
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
            SCOPED_TRACE(testing::Message() << "signal " << signalNumber << (named ? ", named staging" : ""));
            const QString folder = at(QStringLiteral("out%1%2").arg(signalNumber).arg(named));
            ASSERT_TRUE(QDir().mkpath(folder));
            const int status = InChild([&] {
                InterruptCleanup::Install();
                FileWrite::Options options{FileWrite::Existing::Keep, FileWrite::NewFile::Private};
                options.hooks.namedStagingOnly = named;
                options.hooks.beforePlacing = [&] {
                    raise(signalNumber);
                    for (;;)
                        pause(); // the clean-up thread ends the process
                };
                FileWrite::WriteIntoFolder(folder, "report.pdf", plain, options);
                return 9;
            });
            ASSERT_TRUE(WIFSIGNALED(status));
            EXPECT_EQ(WTERMSIG(status), signalNumber);
            const QStringList left = Entries(folder);
            if (named && signalNumber == SIGKILL) {
                ASSERT_EQ(left.size(), 1) << left.join(' ').toStdString();
                EXPECT_TRUE(Staging::IsStagingName(QFile::encodeName(left.first())));
                EXPECT_TRUE(FileWrite::WriteIntoFolder(folder, "next.txt", "x", {}).ok());
                EXPECT_EQ(Entries(folder), QStringList{"next.txt"}) << "the next write removed the killed run's file";
            } else {
                EXPECT_EQ(left, QStringList()) << left.join(' ').toStdString();
            }
        }
    }
}

// Left-behind staging files go only when they are this user's and no run holds them; a file of the
// same form that another user owns, or that a run still writes, stays.
TEST_F(FileWriteTest, OnlyTheUsersOwnUnusedStagingFilesAreRemoved)
{
    PutFile(at(".quillet-0123456789ab.part"), "left by a kill", 0600);
    PutFile(at(".quillet-notastaging.part"), "a file of the user's", 0600);
    PutFile(at(".quillet-aaaaaaaaaaaa.part"), "in use by a run", 0600);
    const int busy = open(QFile::encodeName(at(".quillet-aaaaaaaaaaaa.part")).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(busy, 0);
    ASSERT_EQ(flock(busy, LOCK_EX), 0);
    // Another user's file is kept (made only where a second user can be).
    if (geteuid() == 0) {
        PutFile(at(".quillet-bbbbbbbbbbbb.part"), "another user's", 0600);
        ChangeOwner(at(".quillet-bbbbbbbbbbbb.part"), kOtherUser);
    }

    EXPECT_TRUE(FileWrite::WriteIntoFolder(dir.path(), "letter.txt", "x", {}).ok());
    close(busy);
    EXPECT_FALSE(Exists(at(".quillet-0123456789ab.part")));
    EXPECT_TRUE(Exists(at(".quillet-notastaging.part")));
    EXPECT_TRUE(Exists(at(".quillet-aaaaaaaaaaaa.part")));
    if (geteuid() == 0) {
        EXPECT_TRUE(Exists(at(".quillet-bbbbbbbbbbbb.part")));
    }
}

// --- no-replace that holds ---------------------------------------------------------------------

// A file that appears at the name while the content is written is kept, with nameless and with
// named staging, and nothing else is left; with consent it is replaced.
TEST_F(FileWriteTest, AFileThatAppearsDuringTheWriteIsKeptWithoutConsent)
{
    for (const bool named : {false, true}) {
        for (const FileWrite::Existing existing : {FileWrite::Existing::Keep, FileWrite::Existing::Replace}) {
            const bool replace = existing == FileWrite::Existing::Replace;
            SCOPED_TRACE(testing::Message() << (named ? "named" : "nameless") << (replace ? ", replace" : ", keep"));
            QFile::remove(at("letter.zip"));
            FileWrite::Options options{existing};
            options.hooks.namedStagingOnly = named;
            options.hooks.beforePlacing = [&] { PutFile(at("letter.zip"), "saved meanwhile"); };
            const FileWrite::Result result = FileWrite::WriteIntoFolder(dir.path(), "letter.zip", "ours", options);
            EXPECT_EQ(result.nameTaken, !replace);
            EXPECT_EQ(FileContent(at("letter.zip")), replace ? "ours" : "saved meanwhile");
            EXPECT_EQ(Entries(dir.path()), QStringList{"letter.zip"});
        }
    }
}

// --- in place on a full disk -------------------------------------------------------------------

// Written in place (a file the user may write in a folder the user may not), a full disk leaves the
// earlier file whole: on a file system with fallocate (tmpfs) and on one without it (ext2).
struct InPlaceDisk {
    const char* name;
    bool ext2;
};

class InPlaceFullDiskTest : public ::testing::TestWithParam<InPlaceDisk> {};

TEST_P(InPlaceFullDiskTest, TheEarlierFileStaysWholeWhenTheRoomCannotBeClaimed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a mounted file system and a second user need root";
    FullFileSystem tmpfs;
    LoopFileSystem ext2;
    const bool mounted = GetParam().ext2 ? ext2.mounted() : tmpfs.mounted();
    if (!mounted)
        GTEST_SKIP() << (GetParam().ext2 ? ext2.reason() : tmpfs.reason());
    const QString disk = GetParam().ext2 ? ext2.path() : tmpfs.path();
    const QString locked = disk + "/locked";
    ASSERT_TRUE(QDir().mkpath(locked));
    const QByteArray earlier = QByteArray("earlier content ").repeated(200);
    PutFile(locked + "/shared.txt", earlier, 0666);
    ASSERT_EQ(chmod(QFile::encodeName(disk).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(locked).constData(), 0755), 0);
    // Fills the disk to the last block.
    {
        QFile filler(disk + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    sync();

    const int status = InChild([&] {
        if (setuid(kOtherUser) != 0)
            return 3;
        const FileWrite::Result result = FileWrite::WriteUserFile(locked + "/shared.txt", QByteArray(200 * 1024, 'N'),
                                                                  {FileWrite::Existing::Replace});
        if (result.error == "Disk full.")
            return 0;
        std::fprintf(stderr, "cause: %s\n", qPrintable(result.error));
        return 1;
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "refused as a full disk";
    EXPECT_EQ(FileContent(locked + "/shared.txt"), earlier);
}

INSTANTIATE_TEST_SUITE_P(FileSystems, InPlaceFullDiskTest,
                         ::testing::Values(InPlaceDisk{"Tmpfs", false}, InPlaceDisk{"Ext2WithoutFallocate", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
