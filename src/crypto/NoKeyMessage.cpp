#include "crypto/NoKeyMessage.h"

#include "app/Language.h"

void NoKeyMessage(Dialogs& dialogs, bool encryptMode, int language)
{
    const int text = encryptMode ? NoKeyTexts::Encrypt : NoKeyTexts::Decrypt;
    dialogs.inform(Language::GetProgramText(text, language), Language::GetProgramText(NoKeyTexts::Title, language));
}
