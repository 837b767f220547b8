// quillet-cli: the command-line front end. It runs the window's own pipelines, with a Dialogs that
// answers from the options and prints the boxes' texts to standard error.
#include "cli/CliCommands.h"
#include "files/EnvironmentSecret.h"
#include "files/ProgramStart.h"
#include "keys/KeyRoutines.h"
#include "texts/Language.h"
#include "texts/ProgramData.h"

#include <QCoreApplication>

#include <cstdio>
#include <utility>

namespace {

// The language of the messages: --lang, else the one chosen in the window, else English.
int MessageLanguage(const CliOptions& options)
{
    return options.language >= 0 ? options.language : Language::ChooseLanguage();
}

ExitStatus Run(const CliOptions& options)
{
    const ProgramData::LoadResult loaded = ProgramData::LoadProgramTexts(QCoreApplication::applicationDirPath());
    if (!loaded.ok) {
        std::fprintf(stderr, "quillet-cli: %s\n",
                     QString(loaded.failureMessage).replace("\r\n", "\n").toUtf8().constData());
        return ExitStatus::Failure;
    }
    const int language = MessageLanguage(options);
    CliDialogs dialogs(language, stderr);
    switch (options.command) {
    case CliCommand::Encrypt:
        return RunEncrypt(options, language, dialogs);
    case CliCommand::Decrypt:
        return RunDecrypt(options, language, dialogs);
    case CliCommand::Checksum:
        return RunChecksum(options, language, dialogs);
    case CliCommand::Keygen:
        return RunKeygen(options, language, dialogs);
    case CliCommand::Inspect:
        return RunInspect(options, language, dialogs);
    case CliCommand::Help:
    case CliCommand::Version:
        break;
    }
    return ExitStatus::Failure;
}

} // namespace

ExitStatus UsageError(const QString& problem)
{
    std::fprintf(stderr, "quillet-cli: %s\nTry 'quillet-cli --help' for more information.\n",
                 problem.toUtf8().constData());
    return ExitStatus::Usage;
}

namespace {

// --help, --version and a usage error are answered before anything else is done: they need no
// working folder, and nothing is made or cleaned up for them. True when one of them was answered.
bool AnsweredWithoutRun(const ParsedCommandLine& parsed, ExitStatus& status)
{
    if (!parsed.ok) {
        status = UsageError(parsed.error);
        return true;
    }
    if (parsed.options.command != CliCommand::Help && parsed.options.command != CliCommand::Version)
        return false;
    const QString text = parsed.options.command == CliCommand::Help ? HelpText() : VersionText();
    std::fputs(text.toUtf8().constData(), stdout);
    status = ExitStatus::Success;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Before any thread or child process exists: the key leaves the environment.
    EnvironmentSecret::Taken environmentKey = EnvironmentSecret::Take(ProgramStart::KeyVariable);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    ParsedCommandLine parsed = ParseCommandLine(arguments);
    ExitStatus status = ExitStatus::Success;
    if (!AnsweredWithoutRun(parsed, status)) {
        // Then: no core file, no working folder of a killed run, no temporaries left on a signal.
        if (!ProgramStart::SecureStart())
            std::fputs("quillet-cli: warning: the process could not be protected from core dumps.\n", stderr);
        QCoreApplication app(argc, argv);
        std::swap(parsed.options.environmentKey, environmentKey);
        status = Run(parsed.options);
        std::swap(parsed.options.environmentKey, environmentKey);
    }
    Keys::WipeBytes(environmentKey.value); // on every path, the key's bytes go before the memory does
    return ExitCode(status);
}
