#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/MessageStreams.h"

#include "files/FileProc.h"
#include "files/UserLinks.h"
#include "format/ArmoredText.h"
#include "keys/KeyRoutines.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/Language.h"

#include <QDir>

#include <unistd.h>

namespace {

// Everything that can be refused before the key is asked for, so nobody types a key in vain.
ExitStatus CheckBeforeKey(const CliOptions& options, int language, CliDialogs& dialogs)
{
    if (IsStandardStream(options.out)) {
        // Binary on a terminal is noise at best and can drive the terminal at worst.
        if (!options.armor && isatty(STDOUT_FILENO)) {
            dialogs.say(Language::GetProgramText(CliTexts::BinaryToTerminal, language));
            return ExitStatus::Usage;
        }
    } else if (const UserLinks::Followed followed = UserLinks::Follow(options.out); !followed.refusedLink.isEmpty()) {
        dialogs.say(FileProblem(CliTexts::FileNotWritten, options.out,
                                UserLinks::RefusalText(followed.refusedLink, language), language));
        return ExitStatus::Failure;
    } else if (!options.force && FileProc::FileExists(options.out)) {
        dialogs.say(Language::GetProgramText(CliTexts::NotReplaced, language));
        return ExitStatus::Failure;
    }
    if (!options.attach.isEmpty() && !AcceptFileToAppend(dialogs, options.attach, language))
        return ExitStatus::Failure;
    return ExitStatus::Success;
}

// The ciphertext goes to standard output, or it was written to the file named.
ExitStatus Deliver(const EncryptOutcome& outcome, const CliOptions& options, int language, CliDialogs& dialogs)
{
    if (!IsStandardStream(options.out)) {
        dialogs.say(Language::GetProgramText(CliTexts::CiphertextWrittenTo, language) + ' ' +
                    QDir::toNativeSeparators(options.out));
        return ExitStatus::Success;
    }
    const Outcome written = WriteStandardOutput(options.armor ? Armor::Encode(outcome.ciphertext) : outcome.ciphertext);
    if (written.ok())
        return ExitStatus::Success;
    dialogs.tell(written.failure());
    return ExitStatus::Failure;
}

} // namespace

ExitStatus RunEncrypt(const CliOptions& options, int language, CliDialogs& dialogs)
{
    if (const ExitStatus refused = CheckBeforeKey(options, language, dialogs); refused != ExitStatus::Success)
        return refused;
    MessageInput input = ReadMessage(options.messageFile, language);
    if (!input.read.ok()) {
        dialogs.tell(input.read.failure());
        return ExitStatus::Failure;
    }
    EncryptRequest request;
    request.message = std::move(input.message);
    ExitStatus failure = ExitStatus::Failure;
    if (!ObtainCommandKey(options, language, dialogs, KeyUse::Encrypt, request.quickKey, failure)) {
        Keys::WipeString(request.message);
        return failure;
    }
    // Only --attach sends a file along; the offer to choose one is declined.
    dialogs.answerQuestion(QuestionId::OfferToAppendFile, DialogAnswer::No);
    request.fileToAppend = options.attach;
    request.outputPath = IsStandardStream(options.out) ? QStringLiteral("stdout") : options.out;
    request.handBackOnly = IsStandardStream(options.out);
    // A file that appears at --out during the run is kept unless --force says otherwise.
    request.mayReplace = options.force;
    dialogs.answerQuestion(QuestionId::ReplaceOutputFile, options.force ? DialogAnswer::Yes : DialogAnswer::No,
                           options.force ? QString() : Language::GetProgramText(CliTexts::NotReplaced, language));
    request.form = options.armor ? CiphertextForm::Armored : CiphertextForm::Binary;
    request.language = language;
    request.kdfLevel = options.kdf;
    request.closingNamesTheWindow = false;
    request.measureRandomness = false; // the command line has no randomness view
    EncryptOutcome outcome = EncryptMessage(request, dialogs);
    Keys::WipeString(request.quickKey);
    Keys::WipeString(request.message);
    Keys::WipeString(outcome.trimmedMessage);
    return outcome.success ? Deliver(outcome, options, language, dialogs) : ExitStatus::Failure;
}
