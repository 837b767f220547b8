#pragma once
// The box that tells the user a key is needed before encrypting or decrypting. One function for the
// window's commands and both pipelines, so the user always sees the same box.

class Dialogs;

namespace NoKeyTexts {
constexpr int AskForSendersKey = 52;
constexpr int AskForNewKey = 147;
constexpr int NoKeySpecified = 382; // the box's title
} // namespace NoKeyTexts

namespace Keys {

// Shows the no-key box: in encrypt mode it asks for a key and reminds that the recipient needs the
// same one; otherwise it asks for the key the sender used. OK only, no icon.
void ShowNoKeyMessage(Dialogs& dialogs, int language, bool encryptMode);

} // namespace Keys
