// The key as the commands obtain it, and the checksum command.
#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/KeySource.h"

#include "keys/KeyRoutines.h"
#include "texts/Language.h"

#include <cstdio>

bool ObtainCommandKey(const CliOptions& options, int language, CliDialogs& dialogs, KeyUse use, QString& key,
                      ExitStatus& failure)
{
    KeyResult result = ObtainKey(options.keyFile, language, use == KeyUse::Encrypt);
    switch (result.status) {
    case KeyResult::Status::Ok:
        key = std::move(result.key);
        if (use != KeyUse::Checksum && result.typed)
            dialogs.say(Language::GetProgramText(CliTexts::KeyChecksumIs, language) + ' ' +
                        QString::number(Keys::KeyChecksum(key)));
        return true;
    case KeyResult::Status::Unreadable:
        failure = ExitStatus::Failure;
        break;
    case KeyResult::Status::NoSource:
    case KeyResult::Status::BadLength:
    case KeyResult::Status::Mismatch:
        failure = ExitStatus::Usage;
        break;
    }
    dialogs.say(result.error);
    return false;
}

ExitStatus RunChecksum(const CliOptions& options, int language, CliDialogs& dialogs)
{
    QString key;
    ExitStatus failure = ExitStatus::Failure;
    if (!ObtainCommandKey(options, language, dialogs, KeyUse::Checksum, key, failure))
        return failure;
    const int checksum = Keys::KeyChecksum(key);
    Keys::WipeString(key);
    std::printf("%d\n", checksum);
    return std::fflush(stdout) == 0 ? ExitStatus::Success : ExitStatus::Failure;
}
