// Runs every ciphertext file of tests/vectors, binary and armored, through the decrypt pipeline, one
// case per manifest line, and checks the outcome vectors.txt names for it: the status, the box the
// user sees, the message and the attached file.
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"
#include "pipeline/DecryptPipeline.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestVectors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

using test_vectors::Vector;

struct Expected {
    DecryptStatus status;
    QString firstBox; // the text of the first box the user sees
};

std::map<QString, Expected> ExpectedOutcomes()
{
    return {
        {"wrong-key",
         {DecryptStatus::WrongKeyOrDamaged, Text(DecryptTexts::NotDecrypted) + CrLf + Text(DecryptTexts::WrongKey)}},
        {"damaged",
         {DecryptStatus::WrongKeyOrDamaged,
          Text(DecryptTexts::NotDecrypted) + CrLf + Text(DecryptTexts::DamagedOrCut)}},
        {"not-a-body",
         {DecryptStatus::WrongKeyOrDamaged, Text(DecryptTexts::NotDecrypted) + CrLf + Text(DecryptTexts::NotOurFile) +
                                                CrLf + Text(DecryptTexts::NewerVersion)}},
        {"not-ciphertext", {DecryptStatus::WrongKeyOrDamaged, Text(NotCiphertextFileText)}},
        {"check-value-mismatch",
         {DecryptStatus::CheckValueRefused, Text(DecryptTexts::CheckValueMismatch) + CrLf +
                                                Text(DecryptTexts::MayBeAltered) + CrLf +
                                                Text(DecryptTexts::AcceptAnyway)}},
        {"damaged-package", {DecryptStatus::WrongKeyOrDamaged, Text(DamagedPackageText)}},
        {"not-compressed", {DecryptStatus::WrongKeyOrDamaged, Text(DecryptTexts::DecompressionFailed)}},
        // The safe name made from the sender's is offered first; declined, the file is not written.
        {"unsafe-name", {DecryptStatus::AttachmentNotWritten, Text(DecryptTexts::DerivedNameQuestion)}},
        {"armor-damaged", {DecryptStatus::WrongKeyOrDamaged, Text(DecryptTexts::ArmorDamaged)}},
        {"armor-unended", {DecryptStatus::WrongKeyOrDamaged, Text(DecryptTexts::ArmorUnended)}},
        {"armor-two-blocks", {DecryptStatus::WrongKeyOrDamaged, Text(DecryptTexts::ArmorTwoBlocks)}},
    };
}

class DecryptVectorTest : public ::testing::TestWithParam<Vector> {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }
};

TEST_P(DecryptVectorTest, GivesTheOutcomeTheManifestNames)
{
    const Vector& v = GetParam();
    ASSERT_TRUE(v.malformed.isEmpty()) << "malformed manifest line: " << v.malformed.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("out") && QDir(dir.path()).mkpath("work"));
    ScriptedDialogs dialogs;
    dialogs.queueAnswer(DialogAnswer::No); // refuse an unverified package, or a safe name offered
    dialogs.queuePath(dir.path() + "/out");
    DecryptRequest request;
    request.ciphertextPath = v.path();
    request.quickKey = v.key;
    request.workingFolderBase = dir.path() + "/work";

    const DecryptOutcome outcome = DecryptMessage(request, dialogs);

    const QStringList written = QDir(dir.path() + "/out").entryList(QDir::Files | QDir::Hidden);
    EXPECT_TRUE(QDir(request.workingFolderBase).isEmpty());
    const std::vector<MessageRequest> boxes = dialogs.messages();
    ASSERT_FALSE(boxes.empty());
    if (v.outcome == "success") {
        EXPECT_EQ(outcome.status, DecryptStatus::Success);
        EXPECT_EQ(outcome.message, v.message);
        if (!v.carriesFile()) {
            EXPECT_TRUE(written.isEmpty());
            return;
        }
        ASSERT_EQ(written, QStringList{QString::fromUtf8(v.attachedName)});
        QFile file(dir.path() + "/out/" + written[0]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex(), v.attachedMd5);
        return;
    }
    const std::map<QString, Expected> expected = ExpectedOutcomes();
    const auto it = expected.find(v.outcome);
    ASSERT_NE(it, expected.end()) << "unknown outcome " << v.outcome.toStdString();
    EXPECT_EQ(outcome.status, it->second.status);
    EXPECT_TRUE(boxes[0].text.startsWith(it->second.firstBox)) << boxes[0].text.toStdString();
    EXPECT_TRUE(written.isEmpty());
    if (v.message != "-")
        EXPECT_EQ(outcome.message, v.message);
    else
        EXPECT_FALSE(outcome.message.has_value());
}

INSTANTIATE_TEST_SUITE_P(Manifest, DecryptVectorTest, ::testing::ValuesIn(test_vectors::ReadManifest()),
                         [](const auto& info) { return test_vectors::CaseName(info.param); });

// The manifest and the folder agree: no vector file goes unchecked, none listed is missing.
TEST(DecryptVectors, ManifestListsEveryVectorFile)
{
    QStringList listed;
    for (const Vector& v : test_vectors::ReadManifest())
        listed << v.file;
    listed.sort();
    QStringList present =
        QDir(QStringLiteral(QUILLET_VECTORS_DIR)).entryList({"*.zip", "*.txt", "*.eml"}, QDir::Files, QDir::Name);
    present.removeAll(QStringLiteral("vectors.txt"));
    EXPECT_EQ(listed, present);
}

} // namespace
