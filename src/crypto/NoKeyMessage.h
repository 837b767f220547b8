#pragma once
// The box that tells the user no key is set. One implementation for the window's commands and for
// both pipelines, so the wording and title never drift apart.

#include "app/Dialogs.h"

namespace NoKeyTexts {
constexpr int Decrypt = 52;  // shown in decrypt mode: enter the sender's key
constexpr int Encrypt = 147; // shown in encrypt mode: enter a key the recipient will share
constexpr int Title = 382;
} // namespace NoKeyTexts

// OK button, no icon; text 147 in encrypt mode, 52 otherwise; title text 382.
void NoKeyMessage(Dialogs& dialogs, bool encryptMode, int language);
