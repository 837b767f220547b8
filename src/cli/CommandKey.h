#pragma once
// The key for a command, obtained from the options' source; its failures shown and turned into an
// exit status.

#include "cli/CliDialogs.h"
#include "cli/CliOptions.h"
#include "cli/CliStatus.h"

#include <QString>

// True with key set (the caller wipes it); false with the problem shown and failure set. A key typed
// blind at the prompt has its checksum shown when confirmTyped, as the key-entry window shows it.
bool ObtainCommandKey(const CliOptions& options, int language, CliDialogs& dialogs, bool confirmTyped, QString& key,
                      ExitStatus& failure);
