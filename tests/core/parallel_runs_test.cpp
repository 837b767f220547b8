// Runs on different threads share nothing of the engine: each has its own key, derivation level and
// stop flag, so two at once both come out right.
#include "engines/CipherBody.h"
#include "format/CiphertextFile.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "texts/Language.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

struct RunSide {
    QString key;
    KdfLevel level;
    QString message;
    // What the thread saw.
    bool encrypted = false;
    DecryptStatus decrypted = DecryptStatus::Failed;
    QString recovered;
    cipher_body::KdfParams stored{};
};

class ParallelRuns : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    // Encrypts the side's message with its key and level, then decrypts it again, all on this thread.
    void EncryptThenDecrypt(RunSide& side, const QString& name) const
    {
        ScriptedDialogs dialogs; // No to the offer to attach a file
        EncryptRequest encrypt;
        encrypt.message = side.message;
        encrypt.outputPath = dir.filePath(name + ".zip");
        encrypt.quickKey = side.key;
        encrypt.kdfLevel = side.level;
        encrypt.workingFolderBase = dir.filePath(name);
        side.encrypted = EncryptMessage(encrypt, dialogs).success;

        const CiphertextSplit split = SplitCiphertextFile(test_files::read_file(encrypt.outputPath));
        cipher_body::BodyHeader header;
        if (split.ok && cipher_body::parse_header(split.body, header) == cipher_result::kOk)
            side.stored = header.kdf;

        DecryptRequest decrypt;
        decrypt.ciphertextPath = encrypt.outputPath;
        decrypt.quickKey = side.key;
        decrypt.workingFolderBase = encrypt.workingFolderBase;
        const DecryptOutcome outcome = DecryptMessage(decrypt, dialogs);
        side.decrypted = outcome.status;
        side.recovered = outcome.message.value_or(QString());
    }

    QTemporaryDir tempDir;
    QDir dir{tempDir.path()};
};

TEST_F(ParallelRuns, TwoRunsAtOnceEachKeepTheirKeyAndLevel)
{
    ASSERT_TRUE(tempDir.isValid());
    ASSERT_TRUE(dir.mkpath("slow") && dir.mkpath("fast"));
    RunSide slow{QStringLiteral("the slow side's own key 1"), KdfLevel::Moderate,
                 QStringLiteral("From the slow side.")};
    RunSide fast{QStringLiteral("the fast side's own key 2"), KdfLevel::Interactive,
                 QStringLiteral("From the fast side.")};

    std::thread slowThread([&] { EncryptThenDecrypt(slow, QStringLiteral("slow")); });
    std::thread fastThread([&] { EncryptThenDecrypt(fast, QStringLiteral("fast")); });
    slowThread.join();
    fastThread.join();

    for (const RunSide* side : {&slow, &fast}) {
        SCOPED_TRACE(side->message.toStdString());
        EXPECT_TRUE(side->encrypted);
        EXPECT_EQ(side->decrypted, DecryptStatus::Success);
        EXPECT_EQ(side->recovered, side->message);
        const cipher_body::KdfParams expected = cipher_body::kdf_params(side->level);
        EXPECT_EQ(side->stored.opsLimit, expected.opsLimit);
        EXPECT_EQ(side->stored.memLimitKiB, expected.memLimitKiB);
    }
}

} // namespace
