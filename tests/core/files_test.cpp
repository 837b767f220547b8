// Working folders, temporary names, reading and writing files, and the checks of the file fields.
#include "files/DiskProc.h"
#include "files/FileLimits.h"
#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/WorkingFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "core/files_test_support.h"
#include "support/FullFileSystem.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using FilesTest = TempFolderTest;

// --- working folders -------------------------------------------------------------------------

TEST_F(FilesTest, WorkingFolderSkipsNumbersTakenByAFileAndIsPrivate)
{
    PutFile(at("temp_zeb001"), "not a folder");
    WorkingFolders folders(dir.path());

    folders.MakeWorkingFolder();
    EXPECT_EQ(folders.WorkingFolder(), at("temp_zeb002") + "/");
    EXPECT_TRUE(QFileInfo(at("temp_zeb002")).isDir());
    EXPECT_EQ(ModeOf(at("temp_zeb002")), 0700u);
    EXPECT_EQ(FileContent(at("temp_zeb001")), "not a folder");

    folders.MakeWorkingFolder();
    EXPECT_EQ(folders.WorkingFolder(), at("temp_zeb003") + "/");
}

TEST_F(FilesTest, NewNumberedFolderWithoutSeparatorAndWithMissingBase)
{
    EXPECT_EQ(WorkingFolders(dir.path()).NewNumberedFolder("box", false), at("box001"));
    EXPECT_EQ(WorkingFolders(at("missing")).NewNumberedFolder("box", true), QString());
}

TEST_F(FilesTest, WhenAllNumbersAreTakenTheBaseServesAndIsNeverRemoved)
{
    for (int i = 1; i <= 999; ++i)
        PutFile(at(QStringLiteral("temp_zeb%1").arg(i, 3, 10, QLatin1Char('0'))), "x");
    WorkingFolders folders(dir.path());

    folders.MakeWorkingFolder();
    EXPECT_EQ(folders.WorkingFolder(), dir.path() + "/");

    folders.RemoveWorkingFolder();
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    EXPECT_TRUE(QFileInfo(at("temp_zeb500")).isFile());
}

// Restores an environment variable when it goes out of scope.
class SavedVariable {
  public:
    explicit SavedVariable(const char* name)
        : name_(name), value_(qgetenv(name)), wasSet_(qEnvironmentVariableIsSet(name))
    {
    }
    ~SavedVariable()
    {
        if (wasSet_)
            qputenv(name_, value_);
        else
            qunsetenv(name_);
    }

  private:
    const char* name_;
    QByteArray value_;
    bool wasSet_;
};

TEST_F(FilesTest, BaseIsTheRuntimeFolderWhenPrivateElseAPrivateFolderUnderTheTemporaryFolder)
{
    const SavedVariable runtime("XDG_RUNTIME_DIR"), temporary("TMPDIR");
    ASSERT_TRUE(QDir().mkpath(at("runtime")) && QDir().mkpath(at("tmp")));
    ASSERT_EQ(chmod(QFile::encodeName(at("runtime")).constData(), 0700), 0);
    ASSERT_EQ(chmod(QFile::encodeName(at("tmp")).constData(), 01777), 0);
    qputenv("TMPDIR", QFile::encodeName(at("tmp")));
    const QString privateFolder = at("tmp/quillet-%1").arg(geteuid());

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(at("runtime")));
    EXPECT_EQ(WorkingFolders().base(), at("runtime"));
    EXPECT_EQ(DiskProc::FirstFixedDrive(), at("runtime"));
    EXPECT_FALSE(Exists(privateFolder)) << "nothing is made in the temporary folder then";

    // A runtime folder that is missing or that others may write to is passed over.
    for (const QString& unusable : {at("missing"), at("tmp")}) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(unusable));
        EXPECT_EQ(DiskProc::FirstFixedDrive(), privateFolder) << unusable.toStdString();
    }
    qunsetenv("XDG_RUNTIME_DIR");
    QDir(privateFolder).removeRecursively();
    EXPECT_EQ(WorkingFolders().base(), privateFolder);
    EXPECT_EQ(ModeOf(privateFolder), 0700u);

    // Our own folder with a wider mode is made private again.
    ASSERT_EQ(chmod(QFile::encodeName(privateFolder).constData(), 0755), 0);
    EXPECT_EQ(DiskProc::FirstFixedDrive(), privateFolder);
    EXPECT_EQ(ModeOf(privateFolder), 0700u);
}

// Someone who plants the private folder's name in the shared temporary folder gets nothing: a link
// or someone else's folder is refused, and no working folder is made anywhere.
TEST_F(FilesTest, APlantedPrivateFolderIsRefused)
{
    const SavedVariable runtime("XDG_RUNTIME_DIR"), temporary("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(QDir().mkpath(at("tmp")) && QDir().mkpath(at("attacker")));
    ASSERT_EQ(chmod(QFile::encodeName(at("attacker")).constData(), 0777), 0);
    qputenv("TMPDIR", QFile::encodeName(at("tmp")));
    const QString privateFolder = at("tmp/quillet-%1").arg(geteuid());

    ASSERT_TRUE(QFile::link(at("attacker"), privateFolder));
    EXPECT_EQ(DiskProc::FirstFixedDrive(), QString());
    WorkingFolders folders;
    folders.MakeWorkingFolder();
    EXPECT_EQ(folders.WorkingFolder(), QString());
    EXPECT_TRUE(QDir(at("attacker")).isEmpty());
    EXPECT_EQ(ModeOf(at("attacker")), 0777u) << "not changed through the link";

    if (geteuid() == 0) {
        ASSERT_TRUE(QFile::remove(privateFolder));
        ASSERT_TRUE(QDir().mkpath(privateFolder));
        ASSERT_EQ(chown(QFile::encodeName(privateFolder).constData(), 65534, 65534), 0);
        EXPECT_EQ(DiskProc::FirstFixedDrive(), QString()) << "someone else's folder";
    }
}

// A base that others may write to never serves as the working folder itself.
TEST_F(FilesTest, ASharedBaseWithAllNumbersTakenGivesNoWorkingFolder)
{
    ASSERT_TRUE(QDir().mkpath(at("shared")));
    for (int i = 1; i <= 999; ++i)
        PutFile(at(QStringLiteral("shared/temp_zeb%1").arg(i, 3, 10, QLatin1Char('0'))), "x");
    ASSERT_EQ(chmod(QFile::encodeName(at("shared")).constData(), 01777), 0);
    WorkingFolders folders(at("shared"));
    folders.MakeWorkingFolder();
    EXPECT_EQ(folders.WorkingFolder(), QString());
}

// --- temporary names -------------------------------------------------------------------------

TEST_F(FilesTest, TemporaryFilesAreCreatedPrivateAndNumberedWithOrWithoutDot)
{
    for (const char* extension : {"plt", ".plt"}) {
        SCOPED_TRACE(extension);
        QTemporaryDir folder;
        QString error;
        const QString first = FileProc::UniqueTempFileName(folder.path(), "temp", extension, error);
        const QString second = FileProc::UniqueTempFileName(folder.path() + "/", "temp", extension, error);
        EXPECT_EQ(first, folder.filePath("temp01.plt"));
        EXPECT_EQ(second, folder.filePath("temp02.plt"));
        EXPECT_EQ(error, QString());
        EXPECT_TRUE(QFileInfo(first).isFile());
        EXPECT_EQ(QFileInfo(first).size(), 0);
        EXPECT_EQ(ModeOf(first), 0600u);
    }
}

TEST_F(FilesTest, APlantedLinkAtATemporaryNameIsSkippedNotFollowed)
{
    PutFile(at("victim"), "keep me");
    ASSERT_TRUE(QFile::link(at("victim"), at("temp01.dec")));
    ASSERT_TRUE(QFile::link(at("nowhere"), at("temp02.dec"))); // dangling: O_CREAT would make "nowhere"

    QString error;
    EXPECT_EQ(FileProc::UniqueTempFileName(dir.path(), "temp", "dec", error), at("temp03.dec"));
    EXPECT_EQ(FileContent(at("victim")), "keep me");
    EXPECT_FALSE(QFileInfo::exists(at("nowhere")));
}

TEST_F(FilesTest, NinetyNineRefusalsNameTheNinetyNinth)
{
    for (int i = 1; i <= 99; ++i)
        PutFile(at(QStringLiteral("temp%1.cpr").arg(i, 2, 10, QLatin1Char('0'))), "taken");
    QString error;
    EXPECT_EQ(FileProc::UniqueTempFileName(dir.path(), "temp", "cpr", error), QString());
    EXPECT_EQ(error, "On 99th attempt, " + at("temp99.cpr") + " was not creatable.");
}

TEST_F(FilesTest, TemporaryNameInAMissingFolderIsRefused)
{
    QString error;
    EXPECT_EQ(FileProc::UniqueTempFileName(at("gone"), "temp", "lop", error), QString());
    EXPECT_EQ(error, at("gone") + "/ does not exist.");
}

// --- reading ---------------------------------------------------------------------------------

TEST_F(FilesTest, ReadFileToStringHonoursTheLimit)
{
    PutFile(at("five"), "abcde");
    PutFile(at("empty"), "");
    struct Case {
        const char* file;
        qint64 maxLength;
        QByteArray expected;
    } const cases[] = {{"five", 0, "abcde"}, {"five", 3, "abc"}, {"five", 5, "abcde"},
                       {"five", 9, "abcde"}, {"five", 1, "a"},   {"empty", 0, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " max " + std::to_string(c.maxLength));
        QByteArray contents = "stale";
        QString error = "stale";
        FileProc::ReadFileToString(at(c.file), contents, c.maxLength, error);
        EXPECT_EQ(contents, c.expected);
        EXPECT_EQ(error, QString());
    }
}

TEST_F(FilesTest, ReadFileToStringNamesTheCause)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    PutFile(at("file"), "x");
    struct Case {
        QString path;
        QString expected;
    } const cases[] = {{at("missing"), "No such file or folder."},
                       {at("folder"), "Is a folder."},
                       {at("file/sub"), "A part of the path is not a folder."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QByteArray contents;
        QString error;
        FileProc::ReadFileToString(c.path, contents, 0, error);
        EXPECT_EQ(error, c.expected);
        EXPECT_TRUE(contents.isEmpty());
    }
}

TEST_F(FilesTest, ARegularFileOnlyReadRefusesPipesAndDevicesWithoutWaiting)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
    for (const QString& path : {at("pipe"), QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        QByteArray contents;
        QString error;
        FileProc::ReadFileToString(path, contents, 10, error, FileProc::FileKind::RegularOnly);
        EXPECT_EQ(error, "Not a regular file.");
        EXPECT_EQ(FileLimits::CheckFileToAppend(path), FileLimits::AppendCheck::Unreadable);
    }
}

TEST_F(FilesTest, AHugeSparseFileIsReadOnlyUpToTheLimit)
{
    PutFile(at("sparse"), "");
    ASSERT_EQ(truncate(QFile::encodeName(at("sparse")).constData(), 64LL << 30), 0);
    QByteArray contents("head");
    QString error;
    FileProc::AppendFileToString(at("sparse"), contents, 1001, error, FileProc::FileKind::RegularOnly);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(contents.size(), 4 + 1001);
}

TEST_F(FilesTest, AnOpenDescriptorIsReadToItsEndAcrossShortReads)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ends[0]);
        // Two writes with a pause between: the reader's first read sees only the first line.
        const bool ok = write(ends[1], "first line\n", 11) == 11 && usleep(200000) == 0 &&
                        write(ends[1], "second line\n", 12) == 12;
        _exit(ok ? 0 : 1);
    }
    close(ends[1]);
    QByteArray contents;
    QString error;
    FileProc::ReadDescriptorToString(ends[0], contents, 0, error);
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(error, QString());
    EXPECT_EQ(contents, "first line\nsecond line\n");
}

// --- writing ---------------------------------------------------------------------------------

TEST_F(FilesTest, WriteStringToFileWritesDataThenExtra)
{
    const mode_t oldMask = umask(022);
    EXPECT_EQ(FileProc::WriteStringToFile("header", at("out.zip"), "body"), QString());
    umask(oldMask);
    EXPECT_EQ(FileContent(at("out.zip")), "headerbody");
    EXPECT_EQ(ModeOf(at("out.zip")), 0644u); // a user's file, not a private temporary

    ASSERT_EQ(chmod(QFile::encodeName(at("out.zip")).constData(), 0640), 0);
    EXPECT_EQ(FileProc::WriteStringToFile("new", at("out.zip")), QString());
    EXPECT_EQ(FileContent(at("out.zip")), "new");
    EXPECT_EQ(ModeOf(at("out.zip")), 0640u);
}

// Decrypted plain text is created 0600 whatever the umask (and the umask is the caller's again
// afterwards); other files follow the umask; a file that is replaced keeps its mode either way.
TEST_F(FilesTest, NewPlainTextFilesAreTheOwnersAloneWhateverTheUmask)
{
    using Access = FileProc::NewFileAccess;
    struct {
        mode_t mask;
        Access access;
        mode_t created;
    } const cases[] = {
        {022, Access::OwnerOnly, 0600},   {000, Access::OwnerOnly, 0600},   {077, Access::OwnerOnly, 0600},
        {022, Access::FollowUmask, 0644}, {000, Access::FollowUmask, 0666}, {027, Access::FollowUmask, 0640},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "umask " << std::oct << c.mask << ", owner only "
                                        << (c.access == Access::OwnerOnly));
        const QString path = at("plain.txt");
        QFile::remove(path);
        const mode_t oldMask = umask(c.mask);
        EXPECT_EQ(FileProc::WriteStringToFile("the message", path, {}, c.access), QString());
        EXPECT_EQ(umask(oldMask), c.mask) << "the umask is restored";
        EXPECT_EQ(ModeOf(path), c.created);

        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0644), 0);
        EXPECT_EQ(FileProc::WriteStringToFile("replaced with consent", path, {}, c.access), QString());
        EXPECT_EQ(ModeOf(path), 0644u) << "a replaced file keeps its mode";
        EXPECT_EQ(FileContent(path), "replaced with consent");
    }
}

TEST_F(FilesTest, EmptyDataWritesAnEmptyFile)
{
    PutFile(at("old"), "earlier");
    EXPECT_EQ(FileProc::WriteStringToFile("", at("new")), QString());
    EXPECT_EQ(FileProc::WriteStringToFile("", at("old")), QString());
    EXPECT_TRUE(QFileInfo::exists(at("new")));
    EXPECT_EQ(FileContent(at("new")), "");
    EXPECT_EQ(FileContent(at("old")), "");
}

TEST_F(FilesTest, AUsersLinkIsFollowedAndTheFileItPointsToReplacedBesideIt)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    PutFile(at("real/notes.txt"), "earlier", 0640);
    ASSERT_TRUE(QFile::link("real/notes.txt", at("link-to-notes")));
    ASSERT_TRUE(QFile::link("link-to-notes", at("chain")));

    EXPECT_EQ(FileProc::WriteStringToFile("new text", at("chain")), QString());
    EXPECT_TRUE(QFileInfo(at("chain")).isSymLink()) << "the user's link stays a link";
    EXPECT_TRUE(QFileInfo(at("link-to-notes")).isSymLink());
    EXPECT_EQ(FileContent(at("real/notes.txt")), "new text");
    EXPECT_EQ(ModeOf(at("real/notes.txt")), 0640u);
    EXPECT_EQ(QDir(at("real")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"notes.txt"})
        << "written beside the file, nothing left there";
}

TEST_F(FilesTest, AnAttachedNameNeverFollowsALinkAndIsReplacedOnlyWhenAllowed)
{
    PutFile(at("victim"), "keep me");
    ASSERT_TRUE(QFile::link(at("victim"), at("attachment.txt")));

    const FileWrite::Result kept = FileWrite::WriteIntoFolder(dir.path(), "attachment.txt", "from the package", {});
    EXPECT_TRUE(kept.nameTaken);
    EXPECT_TRUE(QFileInfo(at("attachment.txt")).isSymLink());

    const FileWrite::Result replaced =
        FileWrite::WriteIntoFolder(dir.path(), "attachment.txt", "from the package", {FileWrite::Existing::Replace});
    EXPECT_TRUE(replaced.ok()) << replaced.error.toStdString();
    EXPECT_FALSE(QFileInfo(at("attachment.txt")).isSymLink());
    EXPECT_EQ(FileContent(at("attachment.txt")), "from the package");
    EXPECT_EQ(FileContent(at("victim")), "keep me");
    for (const char* name : {"..", ".", "a/b", ""})
        EXPECT_FALSE(FileWrite::WriteIntoFolder(dir.path(), name, "x", {FileWrite::Existing::Replace}).ok()) << name;
}

TEST_F(FilesTest, ANewFileIsPrivateWhenAskedAndAReplacedOneKeepsItsMode)
{
    const mode_t oldMask = umask(022);
    EXPECT_TRUE(FileWrite::WriteIntoFolder(dir.path(), "private", "x", {{}, FileWrite::NewFile::Private}).ok());
    EXPECT_TRUE(FileWrite::WriteIntoFolder(dir.path(), "usual", "x", {}).ok());
    umask(oldMask);
    EXPECT_EQ(ModeOf(at("private")), 0600u);
    EXPECT_EQ(ModeOf(at("usual")), 0644u);
    ASSERT_EQ(chmod(QFile::encodeName(at("usual")).constData(), 0604), 0);
    EXPECT_TRUE(FileWrite::WriteIntoFolder(dir.path(), "usual", "y", {FileWrite::Existing::Replace}).ok());
    EXPECT_EQ(ModeOf(at("usual")), 0604u);
}

TEST_F(FilesTest, FreeNamesCountUpBeforeTheExtensionAndStayWithinTheLimit)
{
    PutFile(at("report.pdf"), "1");
    PutFile(at("report (2).pdf"), "2");
    PutFile(at(".bashrc"), "3");
    EXPECT_EQ(FileWrite::FreeName(dir.path(), "report.pdf"), "report (3).pdf");
    EXPECT_EQ(FileWrite::FreeName(dir.path(), ".bashrc"), ".bashrc (2)");
    EXPECT_EQ(FileWrite::FreeName(dir.path(), "archive.tar.gz"), "archive.tar (2).gz");
    const QString longName = QString(120, QChar(0x00FC)) + ".txt"; // 244 bytes in UTF-8
    const QString free = FileWrite::FreeName(dir.path(), longName);
    EXPECT_LE(free.toUtf8().size(), 255);
    EXPECT_TRUE(free.endsWith(" (2).txt")) << free.toStdString();
}

TEST_F(FilesTest, AFolderTheUserMayNotWriteInGetsTheFileWrittenInPlace)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    PutFile(at("locked/shared.txt"), "an earlier and longer content", 0666);
    ASSERT_EQ(chmod(QFile::encodeName(at("locked")).constData(), 0555), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    // Root may write in any folder: the write runs as another user in a child process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(3);
        const FileWrite::Result result =
            FileWrite::WriteUserFile(at("locked/shared.txt"), "new", {FileWrite::Existing::Replace});
        const bool noOtherFile = !FileWrite::WriteUserFile(at("locked/other.txt"), "x", {}).ok();
        _exit(result.ok() && noOtherFile ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(QFile::encodeName(at("locked")).constData(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileContent(at("locked/shared.txt")), "new");
    EXPECT_FALSE(QFileInfo::exists(at("locked/other.txt")));
}

TEST_F(FilesTest, TargetsThatAreNoRegularFileAreRefusedUntouched)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    ASSERT_EQ(mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);
    PutFile(at("file"), "x");
    struct Case {
        QString path;
        QString expected;
    } const cases[] = {{at("folder"), "Is a folder."},
                       {at("pipe"), "Not a regular file."},
                       {at("file/sub"), "A part of the path is not a folder."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FileProc::WriteStringToFile("data", c.path), c.expected);
    }
    EXPECT_TRUE(QFileInfo(at("folder")).isDir());
    struct stat status {};
    ASSERT_EQ(lstat(QFile::encodeName(at("pipe")).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// A file size limit makes the write fail part-way, as a full disk would, even for root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedHandler_);
    }

  private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

TEST_F(FilesTest, AFailedWriteLeavesTheEarlierFileWhole)
{
    const QByteArray earlier(3000, 'E');
    PutFile(at("message.zip"), earlier);
    QString error;
    {
        FileSizeLimit limit(4096);
        error = FileProc::WriteStringToFile(QByteArray(100000, 'N'), at("message.zip"));
    }
    EXPECT_EQ(error, "File too large.");
    EXPECT_EQ(FileContent(at("message.zip")), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"message.zip"});
}

// The two writers on a real file system that runs full part-way: the write fails as "Disk full.",
// the earlier file is whole and nothing else is left in the folder.
struct FullDiskCase {
    const char* name;
    qsizetype dataBytes;
    qint64 freeBytes;
    bool attachedName; // WriteIntoFolder with a sender's name, else WriteUserFile
};

class FullDiskTest : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(FullDiskTest, FailsAsDiskFullAndKeepsTheEarlierFileWhole)
{
    const FullDiskCase& c = GetParam();
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const QByteArray earlier(3000, 'E');
    ASSERT_TRUE(disk.write("target", earlier));
    ASSERT_TRUE(disk.fill(c.freeBytes));
    const QByteArray data(c.dataBytes, 'N');
    const FileWrite::Options replace{FileWrite::Existing::Replace};
    const FileWrite::Result result = c.attachedName ? FileWrite::WriteIntoFolder(disk.path(), "target", data, replace)
                                                    : FileWrite::WriteUserFile(disk.filePath("target"), data, replace);
    EXPECT_EQ(result.error, "Disk full.");
    EXPECT_EQ(FileContent(disk.filePath("target")), earlier);
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"target", "zz-filler"}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, FullDiskTest,
                         ::testing::Values(FullDiskCase{"AttachedName100Bytes", 100, 0, true},
                                           FullDiskCase{"AttachedName16KiB", 16 * 1024, 8 * 1024, true},
                                           FullDiskCase{"AttachedName2MB", 2'000'000, 1'000'000, true},
                                           FullDiskCase{"UserFile100Bytes", 100, 0, false},
                                           FullDiskCase{"UserFile16KiB", 16 * 1024, 8 * 1024, false},
                                           FullDiskCase{"UserFile2MB", 2'000'000, 1'000'000, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilesTest, WriteToTempFileFillsTheFileItWasGiven)
{
    QString error;
    const QString temp = FileProc::UniqueTempFileName(dir.path(), "temp", "plt", error);
    ASSERT_FALSE(temp.isEmpty()) << error.toStdString();
    PutFile(temp, "an earlier and longer content");
    ASSERT_EQ(chmod(QFile::encodeName(temp).constData(), 0600), 0);
    struct stat before {};
    ASSERT_EQ(lstat(QFile::encodeName(temp).constData(), &before), 0);

    EXPECT_EQ(FileProc::WriteToTempFile("the package", temp), QString());

    EXPECT_EQ(FileContent(temp), "the package");
    struct stat after {};
    ASSERT_EQ(lstat(QFile::encodeName(temp).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file made exclusively, not a replacement";
    EXPECT_EQ(ModeOf(temp), 0600u);
}

TEST_F(FilesTest, WriteToTempFileCreatesNothingAndFollowsNoLink)
{
    PutFile(at("victim"), "keep me");
    ASSERT_TRUE(QFile::link(at("victim"), at("temp01.plt")));
    PutFile(at("temp02.plt"), "");
    struct Case {
        QString path;
        QString expected;
    } const cases[] = {{at("temp01.plt"), "Is a symbolic link."}, {at("missing.plt"), "No such file or folder."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(FileProc::WriteToTempFile("plain text", c.path), c.expected);
    }
    EXPECT_EQ(FileContent(at("victim")), "keep me");
    EXPECT_FALSE(QFileInfo::exists(at("missing.plt")));
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(FileProc::WriteToTempFile(QByteArray(100000, 'N'), at("temp02.plt")), "File too large.");
    }
}

// --- disk ------------------------------------------------------------------------------------

TEST_F(FilesTest, DiskClusterSizeOfAnExistingAndAMissingFolder)
{
    double freeBytes = 0;
    const int cluster = DiskProc::DiskClusterSize(dir.path(), freeBytes);
    EXPECT_GE(cluster, 512);
    EXPECT_LE(cluster, 65536);
    EXPECT_GT(freeBytes, 0.0);

    EXPECT_EQ(DiskProc::DiskClusterSize(at("missing"), freeBytes), -1);
    EXPECT_EQ(freeBytes, -1.0);
}

// --- limits of the file fields ---------------------------------------------------------------

// The digits are grouped as the language of the message groups them, whatever the system's locale.
TEST(FileLimitsTest, FormatSizeLimitGroupsDigitsAndAddsKilobytes)
{
    struct Case {
        QLocale locale; // the system's
        qint64 n;
        bool german;
        QString expected;
    } const cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), FileLimits::MaxAppendedFileSize, false,
         "2,027,520 bytes (1,980 KB)"},
        {QLocale(QLocale::German, QLocale::Germany), FileLimits::MaxTextFileSize, true, "61.440 Bytes (60 KB)"},
        {QLocale::c(), 2100000, true, "2.100.000 Bytes (2.051 KB)"},
        {QLocale(QLocale::German, QLocale::Germany), FileLimits::MaxAppendedFileSize, false,
         "2,027,520 bytes (1,980 KB)"},
        {QLocale(QLocale::English, QLocale::UnitedStates), 1024, false, "1,024 bytes"},
        {QLocale(QLocale::English, QLocale::UnitedStates), 0, false, "0 bytes"},
        {QLocale(QLocale::English, QLocale::UnitedStates), -1, false, ""},
    };
    const QLocale saved;
    for (const Case& c : cases) {
        QLocale::setDefault(c.locale);
        EXPECT_EQ(FileLimits::FormatSizeLimit(c.n, c.german), c.expected);
    }
    QLocale::setDefault(saved);
}

TEST_F(FilesTest, FileToAppendIsCheckedForSizeAndReadability)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    struct Case {
        const char* name;
        qint64 size; // -1: create nothing
        FileLimits::AppendCheck expected;
    } const cases[] = {{"limit", FileLimits::MaxAppendedFileSize, FileLimits::AppendCheck::Ok},
                       {"over", FileLimits::MaxAppendedFileSize + 1, FileLimits::AppendCheck::TooLarge},
                       {"empty", 0, FileLimits::AppendCheck::Empty},
                       {"one", 1, FileLimits::AppendCheck::Ok},
                       {"missing", -1, FileLimits::AppendCheck::Unreadable},
                       {"folder", -1, FileLimits::AppendCheck::Unreadable}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.size >= 0)
            PutFile(at(c.name), QByteArray(c.size, 'x'));
        EXPECT_EQ(FileLimits::CheckFileToAppend(at(c.name)), c.expected);
    }
}

// The name travels lower-cased in UTF-8 and must fit what a reader writes as it stands: 1 to 255
// bytes, counted in bytes, not characters.
TEST(FileLimitsTest, NameThatTravelsHasOneTo255Bytes)
{
    const struct {
        const char* name;
        QString travellingName;
        bool ok;
    } cases[] = {
        {"255 ASCII", QString(255, 'n'), true},
        {"256 ASCII", QString(256, 'n'), false},
        {"255 bytes in 128 characters", QString(127, u'é') + 'a', true},
        {"256 bytes in 128 characters", QString(128, u'é'), false},
        {"empty", QString(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileLimits::FileNameLengthOk(c.travellingName), c.ok) << c.name;
    // A name is judged as it travels: after the last "\" as well, and lower-cased ("İ" becomes two
    // characters, three bytes).
    EXPECT_EQ(FileLimits::CheckFileToAppend("/tmp/report\\"), FileLimits::AppendCheck::NameTooLong);
    EXPECT_EQ(FileLimits::CheckFileToAppend("/tmp/" + QString(100, QChar(0x130))),
              FileLimits::AppendCheck::NameTooLong);
}

} // namespace
