#include "engines/CipherEngine.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "pipeline/Failure.h"
#include "pipeline/PipelineRun.h"
#include "support/ProgramTexts.h"

#include <gtest/gtest.h>

namespace {

class FailureTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }
};

// The words are spelled out: a message that lost its place, its colon or its cause line would pass
// a comparison built the way the code builds it.
TEST_F(FailureTest, MessageNamesThePlaceAndTheCauseInEitherLanguage)
{
    struct Case {
        Failure failure;
        int language;
        QString message;
    };
    const Case cases[] = {
        {Failure(PipelineRun::WorkingFolderFailedText).At("/run/q/temp_zeb001/temp01.dec").Because("Disk full."),
         Language::English,
         "A file could not be read or written in the working folder /run/q/temp_zeb001:\r\nDisk full."},
        {Failure(PipelineRun::WorkingFolderFailedText).At("/run/q/temp_zeb001/temp01.dec").Because("Disk full."),
         Language::German,
         "Eine Datei konnte nicht gelesen oder geschrieben werden im Arbeitsordner /run/q/temp_zeb001:\r\nDisk full."},
        {Failure(EncryptTexts::OutputNotWritten).At("/home/a/out.zip", Failure::Place::Path).Because("Read-only."),
         Language::German, "Fehler beim Schreiben der Datei auf /home/a/out.zip:\r\nRead-only."},
        {Failure(DecryptTexts::NotDecrypted), Language::English, "The message could not be decrypted."},
        {Failure(DecryptTexts::NotDecrypted).Because(EngineCauseTexts(cipher_result::kNotABody)), Language::German,
         "Die Nachricht konnte nicht entschlüsselt werden.\r\nDiese Datei ist keine verschlüsselte Quillet-Datei,\r\n"
         "oder sie wurde von einer neueren, hier unbekannten Quillet-Version erstellt."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.failure.Message(c.language), c.message) << c.message.toStdString();
}

TEST_F(FailureTest, SuccessCarriesNoFailureAndAFailureKeepsItsText)
{
    EXPECT_TRUE(Outcome().ok());
    const Outcome failed = Failure(EncryptTexts::PlainNotWritten).Because("Disk full.");
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.failure().text(), EncryptTexts::PlainNotWritten);
}

} // namespace
