// The settings store: status texts of first and later writes, reads of missing, empty and padded
// values, and a store that cannot be written. Runs only in the test's own config folder.
#include "support/FullFileSystem.h"
#include "texts/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using SettingsStore::CurrentUserRoot;
using SettingsStore::ReadRegistryString;
using SettingsStore::WriteRegistryString;

const QString KeyPath = QStringLiteral("Software\\Tavolan\\ZEB");
const QString Success = QStringLiteral("The operation completed successfully.\r\n");

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        ASSERT_FALSE(configHome.isEmpty());
        storeFile = QSettings("Tavolan", "ZEB").fileName();
        // Never touch the real user's settings.
        ASSERT_TRUE(storeFile.startsWith(configHome + "/")) << storeFile.toStdString();
        QDir(configHome + "/Tavolan").removeRecursively();
        QFile::remove(configHome + "/Tavolan");
    }
    void TearDown() override { QDir(QFileInfo(storeFile).path()).removeRecursively(); }
    QString storeFile;
};

TEST_F(SettingsTest, FirstWriteCreatesTheKeyAndLaterWritesFindIt)
{
    QString value;
    EXPECT_EQ(ReadRegistryString(CurrentUserRoot, KeyPath, "Language", value, 0), "1 Key not found or is empty.");
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "EN"), "0 New key created.  " + Success);
    EXPECT_TRUE(QFileInfo::exists(storeFile));
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "DE"), "0 Key already exists.  " + Success);
    EXPECT_EQ(ReadRegistryString(CurrentUserRoot, KeyPath, "Language", value, 0), "0 OK");
    EXPECT_EQ(value, "DE");
}

// The window stores its language at every start: a value that is already there leaves the file as
// it is (the store would otherwise write a new file beside it and rename it over the old one).
TEST_F(SettingsTest, WritingTheValueAlreadyStoredLeavesTheFileAlone)
{
    ASSERT_TRUE(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "DE").startsWith("0 "));
    struct stat before {};
    ASSERT_EQ(stat(QFile::encodeName(storeFile).constData(), &before), 0);
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(storeFile).constData(), longAgo, 0), 0);

    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "DE"), "0 Key already exists.  " + Success);
    struct stat after {};
    ASSERT_EQ(stat(QFile::encodeName(storeFile).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000000000);

    // A changed value is written.
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "EN"), "0 Key already exists.  " + Success);
    QString value;
    EXPECT_EQ(ReadRegistryString(CurrentUserRoot, KeyPath, "Language", value, 0), "0 OK");
    EXPECT_EQ(value, "EN");
    ASSERT_EQ(stat(QFile::encodeName(storeFile).constData(), &after), 0);
    EXPECT_GT(after.st_mtim.tv_sec, 1000000000);
}

TEST_F(SettingsTest, ReadStatusTellsWhatWasFound)
{
    ASSERT_TRUE(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "DE").startsWith("0 "));
    const struct {
        const char* stored; // written as "Padded" before the read
        const char* valueName;
        const char* status;
        const char* value;
    } cases[] = {
        {"DE\x01\t\r\n", "Padded", "0 OK", "DE"}, {"", "Padded", "0 Empty value", ""},
        {"\r\n", "Padded", "0 Empty value", ""},  {"EN", "Colour", "3 Name not found.", ""},
        {"EN", "", "2 Name not specified.", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        WriteRegistryString(CurrentUserRoot, KeyPath, "Padded", c.stored);
        QString value = "left over";
        EXPECT_EQ(ReadRegistryString(CurrentUserRoot, KeyPath, c.valueName, value, 0), c.status);
        EXPECT_EQ(value, c.value);
    }
}

TEST_F(SettingsTest, UnusableKeysAreRefused)
{
    QString value;
    for (const char* path : {"", "Software\\Tavolan", "Software\\\\ZEB", "Other\\Tavolan\\ZEB"}) {
        EXPECT_EQ(ReadRegistryString(CurrentUserRoot, path, "Language", value, 0), "1 Key not found or is empty.")
            << path;
        EXPECT_EQ(WriteRegistryString(CurrentUserRoot, path, "Language", "DE"), "161 Unable to create (or find) key.")
            << path;
    }
    EXPECT_EQ(WriteRegistryString(0x80000002, KeyPath, "Language", "DE"), "6 Unable to create (or find) key.");
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "", "DE"), "2 Name not specified.");
    EXPECT_FALSE(QFileInfo::exists(storeFile));
}

TEST_F(SettingsTest, StoreThatCannotBeWrittenIsReported)
{
    // A file where the maker's settings folder belongs: the folder cannot be made.
    QFile blocker(QFileInfo(storeFile).path());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "DE"), "5 Unable to create (or find) key.");
    QString value;
    EXPECT_EQ(ReadRegistryString(CurrentUserRoot, KeyPath, "Language", value, 0), "1 Key not found or is empty.");
    QFile::remove(blocker.fileName());
}

TEST_F(SettingsTest, AWriteThatDoesNotReachAFullDiskIsNotReportedAsSuccess)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(storeFile).path()));
    FullFileSystem disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    // The store's folder is the small file system.
    ASSERT_EQ(::mount(QFile::encodeName(disk.path()).constData(),
                      QFile::encodeName(QFileInfo(storeFile).path()).constData(), nullptr, MS_BIND, nullptr),
              0);
    ASSERT_TRUE(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "EN").startsWith("0 "));
    ASSERT_TRUE(disk.fill(0));

    const QString status = WriteRegistryString(CurrentUserRoot, KeyPath, "Comment", QString(20000, 'c'));
    ::umount2(QFile::encodeName(QFileInfo(storeFile).path()).constData(), MNT_DETACH);
    EXPECT_FALSE(status.startsWith("0")) << status.toStdString();
    EXPECT_TRUE(status.contains("Unable to write")) << status.toStdString();
}

TEST_F(SettingsTest, SubKeysAreKeptApart)
{
    const QString subKey = KeyPath + "\\Window";
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, KeyPath, "Language", "DE"), "0 New key created.  " + Success);
    QString value;
    EXPECT_EQ(ReadRegistryString(CurrentUserRoot, subKey, "Language", value, 0), "1 Key not found or is empty.");
    EXPECT_EQ(WriteRegistryString(CurrentUserRoot, subKey, "Language", "EN"), "0 New key created.  " + Success);
    EXPECT_EQ(ReadRegistryString(CurrentUserRoot, KeyPath, "Language", value, 0), "0 OK");
    EXPECT_EQ(value, "DE");
}

} // namespace
