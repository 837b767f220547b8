#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/MessageStreams.h"

#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/IoErrorText.h"
#include "keys/KeyRoutines.h"
#include "pipeline/DecryptPipeline.h"
#include "texts/Language.h"
#include "texts/TerminalText.h"

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
    dialogs.answerQuestion(DecryptTexts::CheckValueMismatch,
                           options.acceptBadCheck ? DialogAnswer::Yes : DialogAnswer::No);
    // Only reached if the folder chooser came back empty: go on with the message alone.
    dialogs.answerQuestion(DecryptTexts::GoOnWithoutFolder, DialogAnswer::Yes);
    // The attached file: a safe name made from a refused one, or a free name beside the file being
    // decrypted, replaces nothing; replacing a file or writing a hidden one needs --force.
    dialogs.answerQuestion(DecryptTexts::DerivedNameQuestion, DialogAnswer::Yes);
    dialogs.answerQuestion(DecryptTexts::CiphertextNameQuestion, DialogAnswer::Yes);
    dialogs.answerQuestion(DecryptTexts::HiddenNameQuestion, options.force ? DialogAnswer::Yes : DialogAnswer::No);
    dialogs.answerQuestion(DecryptTexts::ReplaceQuestion, options.force ? DialogAnswer::Yes : DialogAnswer::Cancel);
}

// --message-out: never the file being decrypted, and an existing file only with --force. Checked
// before the key is asked for, and again when the file is written.
bool MessageOutAllowed(const CliOptions& options, int language, CliDialogs& dialogs)
{
    if (options.messageOut.isEmpty())
        return true;
    const QFileInfo target(FileWrite::FollowLinks(options.messageOut));
    if (FileWrite::IsSameFile(target.path(), target.fileName(), options.in)) {
        dialogs.say(FileProblem(CliTexts::FileNotWritten, options.messageOut,
                                QStringLiteral("This is the file being decrypted."), language));
        return false;
    }
    if (!options.force && FileWrite::NameTaken(target.path(), target.fileName())) {
        dialogs.say(Language::GetProgramText(CliTexts::NotReplaced, language));
        return false;
    }
    return true;
}

// Hands the recovered message on and tells where the attached file went.
ExitStatus Deliver(DecryptOutcome& outcome, const CliOptions& options, int language, CliDialogs& dialogs)
{
    ExitStatus status = StatusOf(outcome.status);
    if (!outcome.writtenFilePath.isEmpty())
        dialogs.say(outcome.appendedFileCaption + ' ' + TerminalText::Escape(outcome.writtenFilePath));
    if (outcome.status == DecryptStatus::CheckValueRefused)
        dialogs.say(Language::GetProgramText(CliTexts::CheckValueHint, language));
    // Nobody chooses on the command line: a file left unsaved was refused for want of --force.
    if (outcome.attachmentAbandoned) {
        dialogs.say(Language::GetProgramText(CliTexts::AttachedNotSaved, language));
        status = ExitStatus::AttachmentNotWritten;
    }
    if (outcome.message) {
        bool taken = false;
        const QString error = WriteMessage(outcome.messageBytes, options.messageOut, options.force, language, taken);
        Keys::WipeString(*outcome.message);
        outcome.messageBytes.fill('\0');
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
    if (!MessageOutAllowed(options, language, dialogs))
        return ExitStatus::Failure;
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
