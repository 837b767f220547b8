#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/MessageStreams.h"

#include "keys/KeyRoutines.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/Language.h"

namespace {

// Everything that can be refused before the key is asked for, so nobody types a key in vain.
bool CheckBeforeKey(const CliOptions& options, int language, CliDialogs& dialogs)
{
    dialogs.answerQuestion(QuestionId::ReplaceOutputFile, options.force ? DialogAnswer::Yes : DialogAnswer::No);
    if (!AskReplaceExistingOutput(dialogs, options.out, language)) {
        dialogs.say(Language::GetProgramText(CliTexts::NotReplaced, language));
        return false;
    }
    return options.attach.isEmpty() || AcceptFileToAppend(dialogs, options.attach, language);
}

} // namespace

ExitStatus RunEncrypt(const CliOptions& options, int language, CliDialogs& dialogs)
{
    if (!CheckBeforeKey(options, language, dialogs))
        return ExitStatus::Failure;
    MessageInput input = ReadMessage(options.messageFile, language);
    if (!input.ok) {
        dialogs.say(input.error);
        return ExitStatus::Failure;
    }
    EncryptRequest request;
    request.message = std::move(input.message);
    ExitStatus failure = ExitStatus::Failure;
    if (!ObtainCommandKey(options, language, dialogs, true, request.quickKey, failure)) {
        Keys::WipeString(request.message);
        return failure;
    }
    // Only --attach sends a file along; the offer to choose one is declined.
    dialogs.answerQuestion(QuestionId::OfferToAppendFile, DialogAnswer::No);
    request.fileToAppend = options.attach;
    request.outputPath = options.out;
    request.language = language;
    request.kdfLevel = options.kdf;
    EncryptOutcome outcome = EncryptMessage(request, dialogs);
    Keys::WipeString(request.quickKey);
    Keys::WipeString(request.message);
    Keys::WipeString(outcome.trimmedMessage);
    return outcome.success ? ExitStatus::Success : ExitStatus::Failure;
}
