#include "pipeline/NoKeyMessage.h"

#include "pipeline/Dialogs.h"
#include "texts/Language.h"

namespace Keys {

void ShowNoKeyMessage(Dialogs& dialogs, int language, bool encryptMode)
{
    const int textNumber = encryptMode ? NoKeyTexts::AskForNewKey : NoKeyTexts::AskForSendersKey;
    dialogs.inform(Language::GetProgramText(textNumber, language),
                   Language::GetProgramText(NoKeyTexts::NoKeySpecified, language), DialogIcon::None);
}

} // namespace Keys
