#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/MessageStreams.h"

#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/IoErrorText.h"
#include "files/UserLinks.h"
#include "keys/KeyRoutines.h"
#include "pipeline/CiphertextSource.h"
#include "pipeline/DecryptPipeline.h"
#include "texts/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

// Why the path names no regular file to read: the true cause, a FIFO or a device included.
QString WhyNotAFile(const QString& path)
{
    struct stat status {};
    if (stat(QFile::encodeName(path).constData(), &status) != 0)
        return FileProc::IoErrorText(errno);
    if (S_ISDIR(status.st_mode))
        return FileProc::IoErrorText(EISDIR);
    return FileProc::NotRegularFileText();
}

ExitStatus StatusOf(DecryptStatus status)
{
    switch (status) {
    case DecryptStatus::Success:
        return ExitStatus::Success;
    case DecryptStatus::Failed:
    case DecryptStatus::Stopped:
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

// A check value that did not match: what the options decide, said when it happens.
void AnswerUnverified(bool accept, int language, CliDialogs& dialogs)
{
    using namespace DecryptTexts;
    const QString outcome = Text(accept ? CliTexts::GoingOnUnverified : CliTexts::CheckValueHint, language);
    dialogs.answerQuestion(QuestionId::AcceptUnverified, accept ? DialogAnswer::Yes : DialogAnswer::No,
                           Text(CheckValueMismatch, language) + ' ' + Text(MayBeAltered, language) + ' ' + outcome);
}

// The attached file: a safe name made from a refused one, or a free name beside the file being
// decrypted, replaces nothing and is taken; replacing a file or saving a hidden one needs --force.
// The name finally used is said with the saved file's path.
void AnswerAboutTheAttachedFile(bool force, int language, CliDialogs& dialogs)
{
    dialogs.answerQuestion(QuestionId::AcceptDerivedName, DialogAnswer::Yes);
    dialogs.answerQuestion(QuestionId::SaveUnderFreeName, DialogAnswer::Yes,
                           Text(CliTexts::SavedUnderFreeName, language));
    if (force) {
        dialogs.answerQuestion(QuestionId::SaveUnderHiddenName, DialogAnswer::Yes);
        dialogs.answerQuestion(QuestionId::ReplaceAttachedFile, DialogAnswer::Yes);
        return;
    }
    dialogs.answerQuestion(QuestionId::SaveUnderHiddenName, DialogAnswer::No,
                           Text(CliTexts::AttachedNotSaved, language));
    dialogs.answerQuestion(QuestionId::ReplaceAttachedFile, DialogAnswer::Cancel,
                           Text(CliTexts::NotReplaced, language));
}

// Hands the recovered message on, exactly as the package carries it, and tells where the attached
// file went. A file left unsaved was refused for want of --force: nobody chooses here.
ExitStatus Deliver(DecryptOutcome& outcome, const CliOptions& options, int language, CliDialogs& dialogs)
{
    ExitStatus status = StatusOf(outcome.status);
    if (!outcome.writtenFilePath.isEmpty())
        // Quoted: a space or a dot at the end of the name is part of it and must show.
        dialogs.say(Text(DecryptTexts::SavedAs, language) + ": \"" + outcome.writtenFilePath + '"');
    if (outcome.attachment == AttachmentFate::Abandoned)
        status = ExitStatus::AttachmentNotWritten;
    // No folder can be chosen here: the next step is a run with a folder that takes the file.
    if (outcome.attachment == AttachmentFate::WriteFailed)
        dialogs.say(Text(CliTexts::NameAWritableFolder, language));
    if (outcome.message) {
        const Outcome written = WriteMessage(outcome.messageBytes, options.messageOut, options.force, language);
        Keys::WipeString(*outcome.message);
        outcome.messageBytes.fill('\0');
        if (!written.ok()) {
            dialogs.tell(written.failure());
            status = ExitStatus::Failure;
        }
    }
    return status;
}

// The ciphertext from standard input: "-", or no --in while something is piped in.
bool FromStandardInput(const CliOptions& options)
{
    return IsStandardStream(options.in) || options.in.isEmpty();
}

// Reads the ciphertext before the key is asked for, so a missing file does not make the typing vain.
ExitStatus TakeCiphertext(const CliOptions& options, int language, CliDialogs& dialogs, DecryptRequest& request)
{
    if (!FromStandardInput(options)) {
        if (FileProc::FileExists(options.in)) {
            request.ciphertextPath = options.in;
            return ExitStatus::Success;
        }
        dialogs.say(FileProblem(CliTexts::CiphertextUnreadable, options.in, WhyNotAFile(options.in), language));
        return ExitStatus::Failure;
    }
    if (options.in.isEmpty() && isatty(STDIN_FILENO))
        return UsageError(QStringLiteral("decrypt needs the ciphertext: name the file, or send it on standard input"));
    QByteArray bytes;
    if (!ReadStandardInput(bytes, MaxCiphertextTextBytes, CliTexts::PasteTheBlock, language)) {
        dialogs.say(FileProblem(CliTexts::CiphertextUnreadable, QStringLiteral("stdin"), FileProc::IoErrorText(errno),
                                language));
        return ExitStatus::Failure;
    }
    request.ciphertextPath = QStringLiteral("stdin");
    request.ciphertext = std::move(bytes);
    return ExitStatus::Success;
}

// --message-out: never the file being decrypted, and an existing file only with --force. Checked
// before the key is asked for, and again when the file is written.
bool MessageOutAllowed(const CliOptions& options, int language, CliDialogs& dialogs)
{
    if (options.messageOut.isEmpty() || IsStandardStream(options.messageOut))
        return true;
    const UserLinks::Followed followed = UserLinks::Follow(options.messageOut);
    if (!followed.refusedLink.isEmpty()) {
        dialogs.say(FileProblem(CliTexts::FileNotWritten, options.messageOut,
                                UserLinks::RefusalText(followed.refusedLink, language), language));
        return false;
    }
    const QFileInfo target(followed.path);
    if (!FromStandardInput(options) && FileWrite::IsSameFile(target.path(), target.fileName(), options.in)) {
        dialogs.say(FileProblem(CliTexts::FileNotWritten, options.messageOut,
                                QStringLiteral("This is the file being decrypted."), language));
        return false;
    }
    if (!options.force && FileWrite::NameTaken(target.path(), target.fileName())) {
        dialogs.say(Text(CliTexts::NotReplaced, language));
        return false;
    }
    return true;
}

} // namespace

ExitStatus RunDecrypt(const CliOptions& options, int language, CliDialogs& dialogs)
{
    const QString folder =
        QFileInfo(options.outDir.isEmpty() ? QDir::currentPath() : options.outDir).absoluteFilePath();
    if (!FileProc::FolderExists(folder))
        return UsageError(QStringLiteral("--out-dir: no such folder: %1").arg(QDir::toNativeSeparators(folder)));
    DecryptRequest request;
    if (const ExitStatus refused = TakeCiphertext(options, language, dialogs, request); refused != ExitStatus::Success)
        return refused;
    if (!MessageOutAllowed(options, language, dialogs))
        return ExitStatus::Failure;
    // What the header tells needs no key: a file that is not ours is refused before one is asked for.
    request.language = language;
    if (const CiphertextSource source = ReadCiphertextSource(request); !source.ok()) {
        dialogs.say(source.problem);
        return StatusOf(source.status);
    }
    ExitStatus failure = ExitStatus::Failure;
    if (!ObtainCommandKey(options, language, dialogs, KeyUse::Decrypt, request.quickKey, failure))
        return failure;
    AnswerUnverified(options.acceptBadCheck, language, dialogs);
    AnswerAboutTheAttachedFile(options.force, language, dialogs);
    request.attachedFileFolder = folder;
    for (const QString& path : {options.keyFile, options.messageOut}) {
        if (!path.isEmpty() && !IsStandardStream(path))
            request.filesInUse << path;
    }
    request.language = language;
    request.closingNamesTheWindow = false;
    DecryptOutcome outcome = DecryptMessage(request, dialogs);
    Keys::WipeString(request.quickKey);
    return Deliver(outcome, options, language, dialogs);
}
