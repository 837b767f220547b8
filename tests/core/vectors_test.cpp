// Runs every ciphertext file of tests/vectors, binary and armored, through the decrypt pipeline and
// checks the outcome vectors.txt names for it: the status, the box the user sees, the message and
// the attached file.
#include "pipeline/DecryptPipeline.h"
#include "pipeline/Dialogs.h"
#include "texts/Language.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <map>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString Text(int number)
{
    return Language::GetProgramText(number, Language::English);
}

struct Vector {
    QString file, key, outcome, message;
    QByteArray attachedName, attachedMd5;
};

std::vector<Vector> ReadManifest()
{
    std::vector<Vector> vectors;
    QFile file(QStringLiteral(QUILLET_VECTORS_DIR) + "/vectors.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return vectors;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = line.split('\t');
        if (f.size() == 6)
            vectors.push_back(
                {f[0], f[1], f[2], f[3], QByteArray::fromPercentEncoding(f[4].toUtf8()), f[5].toLatin1()});
        else
            ADD_FAILURE() << "malformed manifest line: " << line.toStdString();
    }
    return vectors;
}

struct Expected {
    DecryptStatus status;
    QString firstBox; // the text of the first box the user sees
};

std::map<QString, Expected> ExpectedOutcomes()
{
    return {
        {"wrong-key", {DecryptStatus::WrongKeyOrDamaged, Text(148) + CrLf + Text(150)}},
        {"damaged", {DecryptStatus::WrongKeyOrDamaged, Text(148) + CrLf + Text(151)}},
        {"not-a-body", {DecryptStatus::WrongKeyOrDamaged, Text(148) + CrLf + Text(153) + CrLf + Text(154)}},
        {"not-ciphertext", {DecryptStatus::WrongKeyOrDamaged, Text(407)}},
        {"check-value-mismatch", {DecryptStatus::CheckValueRefused, Text(21) + CrLf + Text(55) + CrLf + Text(56)}},
        {"damaged-package", {DecryptStatus::WrongKeyOrDamaged, Text(408)}},
        {"not-compressed", {DecryptStatus::WrongKeyOrDamaged, Text(416)}},
        // The safe name made from the sender's is offered first; declined, the file is not written.
        {"unsafe-name", {DecryptStatus::AttachmentNotWritten, Text(419)}},
        {"armor-damaged", {DecryptStatus::WrongKeyOrDamaged, Text(450)}},
        {"armor-unended", {DecryptStatus::WrongKeyOrDamaged, Text(451)}},
        {"armor-two-blocks", {DecryptStatus::Failed, Text(452)}},
    };
}

TEST(DecryptVectors, EachFileGivesItsOutcome)
{
    ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0);
    const std::vector<Vector> vectors = ReadManifest();
    ASSERT_GE(vectors.size(), 10u);
    const std::map<QString, Expected> expected = ExpectedOutcomes();

    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.file.toStdString());
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkpath("out") && QDir(dir.path()).mkpath("work"));
        ScriptedDialogs dialogs;
        dialogs.queueAnswer(DialogAnswer::No); // refuse an unverified package, or a safe name offered
        dialogs.queuePath(dir.path() + "/out");
        DecryptRequest request;
        request.ciphertextPath = QStringLiteral(QUILLET_VECTORS_DIR) + '/' + v.file;
        request.quickKey = v.key;
        request.workingFolderBase = dir.path() + "/work";

        const DecryptOutcome outcome = DecryptMessage(request, dialogs);

        const QStringList written = QDir(dir.path() + "/out").entryList(QDir::Files | QDir::Hidden);
        EXPECT_TRUE(QDir(request.workingFolderBase).isEmpty());
        ASSERT_FALSE(dialogs.messages().empty());
        if (v.outcome == "success") {
            EXPECT_EQ(outcome.status, DecryptStatus::Success);
            EXPECT_EQ(outcome.message, v.message);
            if (v.attachedName == "-") {
                EXPECT_TRUE(written.isEmpty());
                continue;
            }
            ASSERT_EQ(written, QStringList{QString::fromUtf8(v.attachedName)});
            QFile file(dir.path() + "/out/" + written[0]);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex(), v.attachedMd5);
            continue;
        }
        const auto it = expected.find(v.outcome);
        ASSERT_NE(it, expected.end()) << "unknown outcome " << v.outcome.toStdString();
        EXPECT_EQ(outcome.status, it->second.status);
        EXPECT_TRUE(dialogs.messages()[0].text.startsWith(it->second.firstBox))
            << dialogs.messages()[0].text.toStdString();
        EXPECT_TRUE(written.isEmpty());
        if (v.message != "-")
            EXPECT_EQ(outcome.message, v.message);
        else
            EXPECT_FALSE(outcome.message.has_value());
    }
}

} // namespace
