#pragma once
// The commands of quillet-cli. Each runs the same core as the window, talks through the
// given CliDialogs and returns the exit status.

#include "cli/CliDialogs.h"
#include "cli/CliOptions.h"
#include "cli/CliStatus.h"

ExitStatus RunEncrypt(const CliOptions& options, int language, CliDialogs& dialogs);
ExitStatus RunDecrypt(const CliOptions& options, int language, CliDialogs& dialogs);
ExitStatus RunChecksum(const CliOptions& options, int language, CliDialogs& dialogs);
ExitStatus RunKeygen(const CliOptions& options, int language, CliDialogs& dialogs);
ExitStatus RunInspect(const CliOptions& options, int language, CliDialogs& dialogs);

// Shows a problem with the command line itself, with a pointer to --help.
ExitStatus UsageError(const QString& problem);
