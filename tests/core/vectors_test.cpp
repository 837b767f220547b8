// Runs every ciphertext file of tests/vectors, binary and armored, through the decrypt pipeline, one
// case per manifest line, and checks the outcome vectors.txt names for it: the status, the box the
// user sees, the message and the attached file.
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
    QString firstBox; // the text of the first box the user sees ("<file>" stands for the vector's path)
};

std::map<QString, Expected> ExpectedOutcomes()
{
    return {
        {"wrong-key", {DecryptStatus::WrongKeyOrDamaged, Text(148) + CrLf + Text(150)}},
        {"damaged", {DecryptStatus::WrongKeyOrDamaged, Text(148) + CrLf + Text(151)}},
        // Told from the headers before any key is used: the box names the file and what to do next.
        {"not-a-body",
         {DecryptStatus::WrongKeyOrDamaged, "<file>" + CrLf + Text(153) + CrLf + Text(154) + CrLf + Text(500)}},
        {"not-ciphertext", {DecryptStatus::WrongKeyOrDamaged, "<file>" + CrLf + Text(407) + CrLf + Text(500)}},
        {"check-value-mismatch", {DecryptStatus::CheckValueRefused, Text(21) + CrLf + Text(55) + CrLf + Text(56)}},
        {"damaged-package", {DecryptStatus::WrongKeyOrDamaged, Text(408)}},
        {"not-compressed", {DecryptStatus::WrongKeyOrDamaged, Text(416)}},
        // The safe name made from the sender's is offered first; declined, the file is not written.
        {"unsafe-name", {DecryptStatus::AttachmentNotWritten, Text(419)}},
        {"armor-damaged", {DecryptStatus::WrongKeyOrDamaged, Text(450)}},
        {"armor-unended", {DecryptStatus::WrongKeyOrDamaged, Text(451)}},
        {"armor-two-blocks", {DecryptStatus::WrongKeyOrDamaged, Text(452)}},
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
    QString firstBox = it->second.firstBox;
    firstBox.replace("<file>", QDir::toNativeSeparators(v.path()));
    EXPECT_TRUE(boxes[0].text.startsWith(firstBox)) << boxes[0].text.toStdString();
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
