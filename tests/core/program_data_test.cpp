// Where the programs find their data: beside the executable (the build tree), else in
// ../share/quillet (an installed tree, whatever the prefix); a failure names every place looked in.
#include "support/ProgramTexts.h"
#include "texts/Language.h"
#include "texts/ProgramData.h"
#include "texts/WindowTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString ShippedTexts = QStringLiteral(QUILLET_DATA_DIR "/zeb.dat");

class ProgramDataTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(bin()));
        ASSERT_TRUE(QDir().mkpath(share()));
    }
    // The shipped texts stay loaded for the tests that follow.
    void TearDown() override { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }

    QString bin() const { return root.filePath(QStringLiteral("prefix/bin")); }
    QString share() const { return root.filePath(QStringLiteral("prefix/share/quillet")); }
    static void putTexts(const QString& folder) { ASSERT_TRUE(QFile::copy(ShippedTexts, folder + "/zeb.dat")); }

    QTemporaryDir root;
};

TEST_F(ProgramDataTest, InstalledProgramFindsItsDataInShareQuillet)
{
    putTexts(share());
    EXPECT_EQ(ProgramData::Locate(bin()), share());
    EXPECT_EQ(ProgramData::FilePath(bin(), "zeb_help.txt"), share() + "/zeb_help.txt");
    const ProgramData::LoadResult loaded = ProgramData::LoadProgramTexts(bin());
    EXPECT_TRUE(loaded.ok) << loaded.failureMessage.toStdString();
    EXPECT_EQ(loaded.folder, share());
    EXPECT_EQ(Text(MainWindowTexts::Help, Language::German), "Hilfe");
}

TEST_F(ProgramDataTest, DataBesideTheProgramComesFirst)
{
    putTexts(bin());
    putTexts(share());
    EXPECT_EQ(ProgramData::Locate(bin()), bin());
    EXPECT_EQ(ProgramData::Locate(bin() + "/"), bin());
}

TEST_F(ProgramDataTest, ProgramWithoutDataNamesEveryPlaceItLookedIn)
{
    const ProgramData::LoadResult loaded = ProgramData::LoadProgramTexts(bin());
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.failureMessage,
              "Cannot open file containing program text.\r\n" + bin() + "/zeb.dat\r\n" + share() + "/zeb.dat");
    EXPECT_EQ(ProgramData::Locate(bin()), QString());
    // A help file is then expected beside the program, so that a message about it names a real place.
    EXPECT_EQ(ProgramData::FilePath(bin(), "zeb_help.txt"), bin() + "/zeb_help.txt");
}

TEST_F(ProgramDataTest, BrokenDataFileIsReportedWithItsPath)
{
    QFile empty(share() + "/zeb.dat");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    const ProgramData::LoadResult loaded = ProgramData::LoadProgramTexts(bin());
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.failureMessage, "File is empty.");
}

} // namespace
