#include "gui/StartOptions.h"

namespace {

bool IsOption(const QString& argument)
{
    return argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-");
}

// Qt's own options, which QApplication takes out of the command line (with one or two dashes, a
// value after "=" or as the next argument). The command line is read before QApplication exists,
// so that a wrong one is answered on a terminal without a display; these are passed over then.
const char* const QtOptionsWithValue[] = {"platform",        "platformpluginpath", "platformtheme", "plugin",
                                          "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
                                          "style",           "stylesheet",         "display",       "geometry"};
const char* const QtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "qmljsdebugger"};

// How many arguments from `at` on are one of Qt's options: 0 when it is none, else 1 or 2.
int QtOptionLength(const QStringList& arguments, qsizetype at)
{
    QString name = arguments[at];
    name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    const QString bare = equals < 0 ? name : name.left(equals);
    for (const char* option : QtOptionsWithValue)
        if (bare == QLatin1String(option))
            return equals >= 0 || at + 1 >= arguments.size() ? 1 : 2;
    for (const char* flag : QtFlags)
        if (bare == QLatin1String(flag))
            return 1;
    return 0;
}

} // namespace

StartOptions ParseStartOptions(const QStringList& arguments)
{
    StartOptions options;
    bool optionsEnded = false;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && IsOption(argument) && QtOptionLength(arguments, i) > 0) {
            i += QtOptionLength(arguments, i) - 1;
        } else if (!optionsEnded && argument == QLatin1String("--")) {
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

QString StartUsageText()
{
    return QStringLiteral("Usage: quillet [FILE]\n       quillet --help | --version\n");
}

QString StartVersionText()
{
    return QStringLiteral("quillet " QUILLET_VERSION "\n");
}
