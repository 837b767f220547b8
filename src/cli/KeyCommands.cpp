// The key as the commands obtain it, and the checksum command.
#include "cli/CliCommands.h"
#include "cli/CommandKey.h"
#include "cli/KeySource.h"

#include "keys/KeyGenerator.h"
#include "keys/KeyRoutines.h"
#include "keys/KeyStrength.h"
#include "texts/Language.h"

#include <cstdio>

namespace {

// A typed key is the user's own choice: say once, before it is used, what makes it guessable.
void WarnIfWeak(const QString& key, int language, CliDialogs& dialogs)
{
    const Keys::KeyStrength strength = Keys::EstimateKeyStrength(key);
    if (Keys::IsWeak(strength))
        dialogs.say(Language::GetProgramText(KeyStrengthTexts::WeakKeyWarning, language) + ' ' +
                    Keys::WeaknessReasonText(strength.reason, language) + ' ' +
                    Keys::GuessTimeText(strength, language));
}

bool PrintLine(const QString& line)
{
    return std::printf("%s\n", line.toUtf8().constData()) >= 0;
}

} // namespace

bool ObtainCommandKey(const CliOptions& options, int language, CliDialogs& dialogs, KeyUse use, QString& key,
                      ExitStatus& failure)
{
    KeyResult result = ObtainKey(options.keyFile, options.environmentKey, language, use == KeyUse::Encrypt);
    if (!result.warning.isEmpty())
        dialogs.say(result.warning);
    switch (result.status) {
    case KeyResult::Status::Ok:
        key = std::move(result.key);
        if (use != KeyUse::Checksum && result.typed) {
            dialogs.say(Language::GetProgramText(CliTexts::KeyChecksumIs, language) + ' ' +
                        QString::number(Keys::KeyChecksum(key)));
            if (use == KeyUse::Encrypt)
                WarnIfWeak(key, language, dialogs);
        }
        return true;
    case KeyResult::Status::Unreadable:
        failure = ExitStatus::Failure;
        break;
    case KeyResult::Status::NoSource:
    case KeyResult::Status::BadLength:
    case KeyResult::Status::NotUtf8:
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
    const Keys::KeyStrength strength = Keys::EstimateKeyStrength(key);
    Keys::WipeString(key);
    bool printed = PrintLine(QString::number(checksum));
    if (options.strength) {
        printed = PrintLine(Keys::StrengthRatingText(strength.rating, language)) && printed;
        if (Keys::IsWeak(strength))
            printed = PrintLine(Keys::WeaknessReasonText(strength.reason, language)) && printed;
        printed = PrintLine(Keys::GuessTimeText(strength, language)) && printed;
    }
    return std::fflush(stdout) == 0 && printed ? ExitStatus::Success : ExitStatus::Failure;
}

ExitStatus RunKeygen(const CliOptions&, int language, CliDialogs& dialogs)
{
    QString key = Keys::SuggestKey();
    if (key.isEmpty()) {
        dialogs.say(Language::GetProgramText(KeyStrengthTexts::NoRandomSource, language));
        return ExitStatus::Failure;
    }
    // The key alone on standard output, so it can go straight into a key file; the rest is for
    // the person reading it.
    const bool printed = PrintLine(key) && std::fflush(stdout) == 0;
    dialogs.say(Language::GetProgramText(CliTexts::KeyChecksumIs, language) + ' ' +
                QString::number(Keys::KeyChecksum(key)));
    dialogs.say(Language::GetProgramText(KeyStrengthTexts::SuggestedKeyReminder, language));
    Keys::WipeString(key);
    return printed ? ExitStatus::Success : ExitStatus::Failure;
}
