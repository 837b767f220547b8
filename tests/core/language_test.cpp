// Program texts: what the loader reports for a bad data file, what a fetch returns, that the
// shipped zeb.dat is complete in both languages, and which language the program starts in.
#include "texts/Language.h"
#include "texts/SettingsStore.h"
#include "texts/WindowTexts.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString TextFixtures = QStringLiteral(QUILLET_TEST_DATA_DIR "/texts/");
const QString ShippedDataFolder = QStringLiteral(QUILLET_DATA_DIR);

// Every test leaves the shipped texts loaded, as the program has them.
class LanguageTest : public ::testing::Test {
  protected:
    void TearDown() override { ASSERT_GT(Language::LoadProgramTexts(ShippedDataFolder), 0); }
};

struct BrokenFile {
    const char* folder; // under tests/data/texts; "" for a folder without zeb.dat
    int result;
    const char* message; // "" when the message ends in the full path (checked separately)
};

const BrokenFile BrokenFiles[] = {
    {"duplicate", -1512, "Duplicate in program text at line 12."},
    {"duplicate_at_700", -2200, "Duplicate in program text at line 700."},
    {"too_long", -1004, "String too long at line 4."},
    {"missing", -503, "Missing string at line 3."},
    {"missing_beyond_500", -11, "Error -11"},
    {"malformed", -9, "Error -9"},
    {"empty", -6, "File is empty."},
    {"comments_only", 0, "No program text was read."},
    {"no_such_folder", -1, ""},
};

TEST_F(LanguageTest, BrokenDataFilesGiveTheirCodeAndMessage)
{
    for (const BrokenFile& broken : BrokenFiles) {
        SCOPED_TRACE(broken.folder);
        const QString folder = TextFixtures + QLatin1String(broken.folder);
        const int result = Language::LoadProgramTexts(folder);
        EXPECT_EQ(result, broken.result);
        const QString message = Language::LoadFailureMessage(result, Language::ProgramTextFilePath(folder));
        if (*broken.message)
            EXPECT_EQ(message, QLatin1String(broken.message));
        else
            EXPECT_EQ(message, "Cannot open file containing program text.\r\n" + folder + "/zeb.dat");
    }
}

TEST_F(LanguageTest, DataFileThatIsAFolderCannotBeOpened)
{
    QTemporaryDir programFolder;
    ASSERT_TRUE(QDir(programFolder.path()).mkdir("zeb.dat"));
    EXPECT_EQ(Language::LoadProgramTexts(programFolder.path() + "/"), -1);
}

TEST_F(LanguageTest, FailureMessagesAtTheEdgesOfTheCodeRanges)
{
    const struct {
        int result;
        const char* message;
    } cases[] = {
        {-2, "Particular memory allocation error."},
        {-3, "Too much program text."},
        {-4, "Text not recovered."},
        {-5, "Error -5"},
        {-7, "Error reading file."},
        {-8, "General memory allocation error."},
        {-500, "Error -500"},
        {-501, "Missing string at line 1."},
        {-1000, "Missing string at line 500."},
        {-1001, "String too long at line 1."},
        {-1500, "String too long at line 500."},
        {-1501, "Duplicate in program text at line 1."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Language::LoadFailureMessage(c.result, "x"), QLatin1String(c.message)) << c.result;
}

TEST_F(LanguageTest, FetchReturnsTextsWholeAndTildeAsEmpty)
{
    ASSERT_EQ(Language::LoadProgramTexts(TextFixtures + "valid"), 5);
    EXPECT_EQ(Language::GetProgramText(MainWindowTexts::EncryptOption, Language::English), "");
    EXPECT_EQ(Language::GetProgramText(MainWindowTexts::EncryptOption, Language::German), "Nicht leer");
    EXPECT_EQ(Language::GetProgramText(MainWindowTexts::DecryptOption, Language::English), QString(1024, QChar(0xE4)));
    EXPECT_EQ(Language::GetProgramText(MainWindowTexts::DecryptOption, Language::NotChosen),
              QString(1024, QChar(0xE4)));
    EXPECT_EQ(Language::GetProgramText(3, Language::English), "Tab\there");
    EXPECT_EQ(Language::GetProgramText(3, Language::German), "");
    EXPECT_EQ(Language::GetProgramText(4, Language::English), "");
}

TEST_F(LanguageTest, FailedReloadKeepsTheTextsInForce)
{
    ASSERT_EQ(Language::LoadProgramTexts(TextFixtures + "valid"), 5);
    EXPECT_LT(Language::LoadProgramTexts(TextFixtures + "duplicate"), 0);
    EXPECT_EQ(Language::GetProgramText(MainWindowTexts::EncryptOption, Language::German), "Nicht leer");
}

TEST_F(LanguageTest, ShippedTextsExistInBothLanguages)
{
    const int numbers[] = {1,   2,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,
                           22,  23,  24,  25,  26,  27,  28,  29,  31,  32,  33,  34,  35,  36,  37,  41,  42,  43,
                           44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,
                           62,  63,  65,  66,  67,  68,  69,  70,  71,  73,  74,  80,  81,  82,  84,  85,  86,  87,
                           88,  89,  90,  91,  92,  93,  94,  95,  97,  98,  101, 102, 103, 106, 107, 110, 111, 115,
                           116, 117, 120, 124, 127, 136, 137, 138, 139, 146, 147, 148, 150, 151, 152, 153, 154, 175,
                           176, 177, 178, 184, 187, 200, 201, 213, 273, 310, 347, 348, 349, 350, 351, 372, 374, 379,
                           380, 382, 392, 393, 394, 395, 397, 398, 400, 401, 402, 403, 405, 406};
    ASSERT_GE(Language::LoadProgramTexts(ShippedDataFolder), 2 * static_cast<int>(std::size(numbers)));
    for (int number : numbers) {
        EXPECT_FALSE(Language::GetProgramText(number, Language::English).isEmpty()) << "English text " << number;
        EXPECT_FALSE(Language::GetProgramText(number, Language::German).isEmpty()) << "German text " << number;
    }
    // The settings key is built from these before a language is chosen.
    for (int number : {273, 310})
        EXPECT_EQ(Language::GetProgramText(number, Language::English),
                  Language::GetProgramText(number, Language::German));
    // Counts replace the placeholder 2.
    for (int number : {12, 27})
        for (int language : {Language::English, Language::German})
            EXPECT_TRUE(Language::GetProgramText(number, language).contains('2')) << number;
}

class StartLanguageTest : public LanguageTest {
  protected:
    void SetUp() override
    {
        ASSERT_GT(Language::LoadProgramTexts(ShippedDataFolder), 0);
        const QString store = QSettings("Tavolan", "ZEB").fileName();
        ASSERT_TRUE(store.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME"))) << store.toStdString();
        QFile::remove(store);
    }
    static void StoreCode(const QString& code)
    {
        SettingsStore::WriteRegistryString(SettingsStore::CurrentUserRoot, "Software\\Tavolan\\ZEB", "Language", code);
    }
};

TEST_F(StartLanguageTest, OnlyAStoredDEStartsInGerman)
{
    EXPECT_EQ(Language::ChooseLanguage(), Language::English); // nothing stored yet
    const struct {
        const char* stored;
        int language;
    } cases[] = {{"DE", Language::German},  {"ES", Language::English}, {"FR", Language::English},
                 {"de", Language::English}, {"", Language::English},   {"EN", Language::English}};
    for (const auto& c : cases) {
        StoreCode(c.stored);
        EXPECT_EQ(Language::ChooseLanguage(), c.language) << c.stored;
    }
}

TEST_F(StartLanguageTest, StoredLanguageIsTheNextStartLanguage)
{
    Language::StoreLanguage(Language::German);
    EXPECT_EQ(Language::ChooseLanguage(), Language::German);
    EXPECT_EQ(QSettings("Tavolan", "ZEB").value("Language").toString(), "DE");
    Language::StoreLanguage(Language::English);
    EXPECT_EQ(Language::ChooseLanguage(), Language::English);
    EXPECT_EQ(QSettings("Tavolan", "ZEB").value("Language").toString(), "EN");
}

} // namespace
