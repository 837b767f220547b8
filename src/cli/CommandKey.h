#pragma once
// The key for a command, obtained from the options' source; its failures shown and turned into an
// exit status.

#include "cli/CliDialogs.h"
#include "cli/CliOptions.h"
#include "cli/CliStatus.h"

#include <QString>

// What the key is for: a key typed for encrypting is asked twice; a key typed blind for encrypting
// or decrypting has its checksum shown, as the key-entry window shows it (the checksum command
// prints nothing else).
enum class KeyUse { Encrypt, Decrypt, Checksum };

// True with key set (the caller wipes it); false with the problem shown and failure set.
bool ObtainCommandKey(const CliOptions& options, int language, CliDialogs& dialogs, KeyUse use, QString& key,
                      ExitStatus& failure);
