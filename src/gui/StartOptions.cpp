#include "gui/StartOptions.h"

namespace {

bool IsOption(const QString& argument)
{
    return argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-");
}

} // namespace

StartOptions ParseStartOptions(const QStringList& arguments)
{
    StartOptions options;
    bool optionsEnded = false;
    QStringList files;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            return {StartOptions::Action::Help, {}, {}};
        } else if (!optionsEnded && (argument == QLatin1String("--version") || argument == QLatin1String("-v"))) {
            return {StartOptions::Action::Version, {}, {}};
        } else if (!optionsEnded && IsOption(argument)) {
            if (options.error.isEmpty())
                options.error = QStringLiteral("unknown option '%1'").arg(argument);
        } else {
            files << argument;
        }
    }
    if (options.error.isEmpty() && files.size() > 1)
        options.error = QStringLiteral("one file at a time, not %1").arg(files.size());
    if (!options.error.isEmpty()) {
        options.action = StartOptions::Action::Usage;
        return options;
    }
    options.file = files.value(0);
    return options;
}

QString StartHelpText()
{
    return QStringLiteral(R"(Usage: quillet [FILE]
       quillet --help | --version

Opens Quillet's window: encrypt a message, and optionally one file, into one
ciphertext file to attach to an e-mail, and decrypt such a file again.

With FILE, a received Quillet file, the window starts in decrypt mode with FILE
in the file field, ready for the key.

  -h, --help     print this text and exit
  -v, --version  print the version and exit

Without the window: quillet-cli --help. The manual: man quillet.
)");
}

QString StartVersionText()
{
    return QStringLiteral("quillet " QUILLET_VERSION "\n");
}
