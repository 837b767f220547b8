#include "pipeline/NoKeyMessage.h"

#include "pipeline/Dialogs.h"
#include "texts/Language.h"

namespace Keys {

void ShowNoKeyMessage(Dialogs& dialogs, int language, bool encryptMode)
{
    constexpr int AskForSendersKey = 52;
    constexpr int AskForNewKey = 147;
    constexpr int NoKeySpecified = 382;
    const int textNumber = encryptMode ? AskForNewKey : AskForSendersKey;
    dialogs.inform(Language::GetProgramText(textNumber, language), Language::GetProgramText(NoKeySpecified, language),
                   DialogIcon::None, Remedy::Key);
}

} // namespace Keys
