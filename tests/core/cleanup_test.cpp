// Secure overwrite, forced deletion and removal of folder trees and working folders.
#include "engines/toolkit.h"
#include "files/Cleanup.h"
#include "files/WorkingFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/files_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QByteArray Secret = "PLAINTEXT-SECRET";

QByteArray SecretPattern(int repeats)
{
    return Secret.repeated(repeats);
}

using CleanupTest = TempFolderTest;

TEST_F(CleanupTest, OverwriteLeavesNoneOfTheOldContent)
{
    // Larger than one write block, and not a multiple of it.
    const QByteArray old = SecretPattern(12345);
    PutFile(at("temp01.plt"), old);

    EXPECT_TRUE(Cleanup::OverwriteFile(at("temp01.plt"), 1000, true, false));
    const QByteArray now = FileContent(at("temp01.plt"));
    EXPECT_EQ(now.size(), old.size());
    EXPECT_FALSE(now.contains(Secret.left(8)));
    EXPECT_NE(now, QByteArray(old.size(), '\0'));
    constexpr int Block = 64 * 1024;
    EXPECT_NE(now.left(Block), now.mid(Block, Block)) << "the random pass repeats itself";
}

TEST_F(CleanupTest, ToolkitOverwriteRefusesWhatItMustNotTouch)
{
    PutFile(at("victim"), Secret);
    ASSERT_TRUE(QFile::link(at("victim"), at("link")));
    ASSERT_EQ(mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
    struct Case {
        QString path;
        int count;
    } const cases[] = {{at("link"), 1000}, {at("pipe"), 1000}, {at("missing"), 1000}, {at("victim"), 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_NE(overwrite_file(QFile::encodeName(c.path).constData(), c.count, 0, -1), 0);
    }
    EXPECT_FALSE(Cleanup::OverwriteFile(at("link")));
    EXPECT_EQ(FileContent(at("victim")), Secret);
    EXPECT_TRUE(QFileInfo(at("link")).isSymLink());
}

TEST_F(CleanupTest, ReadOnlyFileIsOverwrittenOnlyWhenAllowed)
{
    PutFile(at("kept"), Secret, 0400);
    EXPECT_FALSE(Cleanup::OverwriteFile(at("kept"), 1000, false, false));
    EXPECT_EQ(ModeOf(at("kept")), 0400u);
    EXPECT_EQ(FileContent(at("kept")), Secret);

    EXPECT_TRUE(Cleanup::OverwriteFile(at("kept"), 1000, true, true));
    EXPECT_NE(FileContent(at("kept")), Secret);
}

TEST_F(CleanupTest, DeleteFileForcedRemovesReadOnlyFilesOnlyWhenAllowed)
{
    PutFile(at("ro"), "x", 0400);
    EXPECT_FALSE(Cleanup::DeleteFileForced(at("ro"), true, false, true));
    EXPECT_TRUE(Exists(at("ro")));
    EXPECT_TRUE(Cleanup::DeleteFileForced(at("ro"), true, true, true));
    EXPECT_FALSE(Exists(at("ro")));
}

TEST_F(CleanupTest, DeleteFileForcedRemovesALinkButNotItsTarget)
{
    PutFile(at("victim"), Secret);
    ASSERT_TRUE(QFile::link(at("victim"), at("link")));
    EXPECT_TRUE(Cleanup::DeleteFileForced(at("link")));
    EXPECT_FALSE(Exists(at("link")));
    EXPECT_EQ(FileContent(at("victim")), Secret);
}

TEST_F(CleanupTest, ShredAndDeleteLeavesNothingBehind)
{
    PutFile(at("temp01.dcr"), SecretPattern(100));
    EXPECT_TRUE(Cleanup::ShredAndDelete(at("temp01.dcr")));
    EXPECT_FALSE(Exists(at("temp01.dcr")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

TEST_F(CleanupTest, AbsentPathsAreHarmless)
{
    PutFile(at("bystander"), "stay");
    QString error;
    EXPECT_FALSE(Cleanup::OverwriteFile(at("missing")));
    EXPECT_TRUE(Cleanup::DeleteFileForced(at("missing")));
    EXPECT_TRUE(Cleanup::ShredAndDelete(at("missing")));
    EXPECT_FALSE(Cleanup::DeleteFolderTree(at("missing"), error, true));
    EXPECT_EQ(error, at("missing") + " does not exist.");

    WorkingFolders folders(dir.path());
    folders.RemoveWorkingFolder(); // before any working folder was made
    folders.MakeWorkingFolder();
    folders.RemoveWorkingFolder();
    folders.RemoveWorkingFolder(); // already gone
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"bystander"});
}

// A working folder with nested content, read-only parts and links that lead out of the tree.
class FolderTreeTest : public TempFolderTest {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("outside"));
        PutFile(at("outside/precious"), "stay");
        ASSERT_TRUE(QDir(dir.path()).mkpath("tree/sub/deeper"));
        PutFile(at("tree/temp01.plt"), Secret);
        PutFile(at("tree/sub/deeper/ro"), Secret, 0400);
        ASSERT_TRUE(QFile::link(at("outside"), at("tree/sub/to_outside")));
        ASSERT_TRUE(QFile::link(at("outside/precious"), at("tree/to_precious")));
        ASSERT_EQ(chmod(QFile::encodeName(at("tree/sub")).constData(), 0500), 0);
    }
};

TEST_F(FolderTreeTest, ForcedDeletionRemovesTheTreeAndNothingOutsideIt)
{
    QString error;
    EXPECT_TRUE(Cleanup::DeleteFolderTree(at("tree") + "/", error, true));
    EXPECT_EQ(error, QString());
    EXPECT_FALSE(Exists(at("tree")));
    EXPECT_EQ(FileContent(at("outside/precious")), "stay");
}

TEST_F(FolderTreeTest, WithoutForceAReadOnlyPartStopsTheDeletion)
{
    QString error;
    EXPECT_FALSE(Cleanup::DeleteFolderTree(at("tree"), error, false));
    EXPECT_TRUE(error.endsWith(" is read-only.")) << error.toStdString();
    EXPECT_TRUE(error.startsWith(at("tree/sub"))) << error.toStdString();
    EXPECT_TRUE(Exists(at("tree/sub/deeper/ro")));
    EXPECT_EQ(FileContent(at("outside/precious")), "stay");
}

TEST_F(CleanupTest, RemoveWorkingFolderTakesItsTemporaryFilesAlong)
{
    WorkingFolders folders(dir.path());
    folders.MakeWorkingFolder();
    const QString folder = folders.WorkingFolder();
    PutFile(folder + "temp01.lop", "body");
    PutFile(folder + "temp02.dec", Secret, 0400);

    folders.RemoveWorkingFolder();
    EXPECT_FALSE(Exists(folder));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

// Quitting removes the latest run's folder once more, in case the run could not: by then another
// run (another window, the command line) may have made a folder under the freed name.
TEST_F(CleanupTest, ARemovedWorkingFolderIsNotRemovedAgainUnderAnotherRunsHands)
{
    WorkingFolders earlier(dir.path());
    earlier.MakeWorkingFolder();
    earlier.RemoveWorkingFolder();
    WorkingFolders later(dir.path());
    later.MakeWorkingFolder();
    ASSERT_EQ(later.WorkingFolder(), earlier.WorkingFolder()) << "the freed name is taken again";
    PutFile(later.WorkingFolder() + "temp01.plt", Secret);

    earlier.RemoveWorkingFolder();
    EXPECT_EQ(FileContent(later.WorkingFolder() + "temp01.plt"), Secret);
}

} // namespace
