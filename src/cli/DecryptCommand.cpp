#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/MessageStreams.h"

#include "files/FileProc.h"
#include "files/IoErrorText.h"
#include "keys/KeyRoutines.h"
#include "pipeline/DecryptPipeline.h"
#include "texts/Language.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

ExitStatus StatusOf(DecryptStatus status)
{
    switch (status) {
    case DecryptStatus::Success:
        return ExitStatus::Success;
    case DecryptStatus::Failed:
        return ExitStatus::Failure;
    case DecryptStatus::WrongKeyOrDamaged:
        return ExitStatus::WrongKeyOrDamaged;
    case DecryptStatus::CheckValueRefused:
        return ExitStatus::CheckValueRefused;
    case DecryptStatus::AttachmentNotWritten:
        return ExitStatus::AttachmentNotWritten;
    }
    return ExitStatus::Failure;
}

// The answers a person would give in the window: this folder for an attached file, go on after a
// check-value mismatch only when asked to.
void PrepareAnswers(const CliOptions& options, const QString& folder, CliDialogs& dialogs)
{
    dialogs.answerFolder(folder);
    dialogs.answerQuestion(QuestionId::AcceptUnverified, options.acceptBadCheck ? DialogAnswer::Yes : DialogAnswer::No);
    // Only reached if the folder chooser came back empty: go on with the message alone.
    dialogs.answerQuestion(QuestionId::GoOnWithoutFolder, DialogAnswer::Yes);
}

// Hands the recovered message on and tells where the attached file went.
ExitStatus Deliver(DecryptOutcome& outcome, const CliOptions& options, int language, CliDialogs& dialogs)
{
    ExitStatus status = StatusOf(outcome.status);
    if (!outcome.writtenFilePath.isEmpty())
        dialogs.say(Language::GetProgramText(DecryptTexts::SavedAs, language) + ": " + outcome.writtenFilePath);
    if (outcome.status == DecryptStatus::CheckValueRefused)
        dialogs.say(Language::GetProgramText(CliTexts::CheckValueHint, language));
    if (outcome.message) {
        const QString error = WriteMessage(*outcome.message, options.messageOut, language);
        Keys::WipeString(*outcome.message);
        if (!error.isEmpty()) {
            dialogs.say(error);
            status = ExitStatus::Failure;
        }
    }
    return status;
}

} // namespace

ExitStatus RunDecrypt(const CliOptions& options, int language, CliDialogs& dialogs)
{
    const QString folder =
        QFileInfo(options.outDir.isEmpty() ? QDir::currentPath() : options.outDir).absoluteFilePath();
    if (!FileProc::FolderExists(folder))
        return UsageError(QStringLiteral("--out-dir: no such folder: %1").arg(QDir::toNativeSeparators(folder)));
    // Before the key is asked for: a missing file would make the typing in vain.
    if (!FileProc::FileExists(options.in)) {
        const int cause = QFileInfo(options.in).isDir() ? EISDIR : ENOENT;
        dialogs.say(FileProblem(CliTexts::CiphertextUnreadable, options.in, FileProc::IoErrorText(cause), language));
        return ExitStatus::Failure;
    }
    DecryptRequest request;
    ExitStatus failure = ExitStatus::Failure;
    if (!ObtainCommandKey(options, language, dialogs, true, request.quickKey, failure))
        return failure;
    PrepareAnswers(options, folder, dialogs);
    request.ciphertextPath = options.in;
    request.language = language;
    request.closingNamesTheWindow = false;
    DecryptOutcome outcome = DecryptMessage(request, dialogs);
    Keys::WipeString(request.quickKey);
    return Deliver(outcome, options, language, dialogs);
}
