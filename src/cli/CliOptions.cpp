#include "cli/CliOptions.h"

#include "texts/Language.h"

#include <QSet>

#include <optional>
#include <vector>

namespace {

// One option: its name, and where it lands in CliOptions: a value kept as given, a switch, or a
// value with its own rule (parse returns an error text, "" when the value is fine).
struct OptionSpec {
    QString name;
    QString CliOptions::*text = nullptr;
    bool CliOptions::*flag = nullptr;
    QString (*parse)(CliOptions& options, const QString& value) = nullptr;

    bool takesValue() const { return flag == nullptr; }
};

QString Store(const OptionSpec& option, CliOptions& options, const QString& value)
{
    if (option.text) {
        options.*option.text = value;
        return {};
    }
    if (option.flag) {
        options.*option.flag = true;
        return {};
    }
    return option.parse(options, value);
}

QString ParseKdf(CliOptions& o, const QString& v)
{
    if (v == QLatin1String("interactive"))
        o.kdf = KdfLevel::Interactive;
    else if (v == QLatin1String("moderate"))
        o.kdf = KdfLevel::Moderate;
    else if (v == QLatin1String("sensitive"))
        o.kdf = KdfLevel::Sensitive;
    else
        return QStringLiteral("--kdf takes interactive, moderate or sensitive, not '%1'").arg(v);
    return {};
}

QString ParseLanguage(CliOptions& o, const QString& v)
{
    if (v == QLatin1String("en"))
        o.language = Language::English;
    else if (v == QLatin1String("de"))
        o.language = Language::German;
    else
        return QStringLiteral("--lang takes en or de, not '%1'").arg(v);
    return {};
}

const OptionSpec Out{"--out", &CliOptions::out};
const OptionSpec Attach{"--attach", &CliOptions::attach};
const OptionSpec MessageFile{"--message-file", &CliOptions::messageFile};
const OptionSpec In{"--in", &CliOptions::in};
const OptionSpec OutDir{"--out-dir", &CliOptions::outDir};
const OptionSpec MessageOut{"--message-out", &CliOptions::messageOut};
const OptionSpec KeyFile{"--key-file", &CliOptions::keyFile};
const OptionSpec Kdf{"--kdf", nullptr, nullptr, ParseKdf};
const OptionSpec Force{"--force", nullptr, &CliOptions::force};
const OptionSpec AcceptBadCheck{"--accept-bad-check", nullptr, &CliOptions::acceptBadCheck};
const OptionSpec Lang{"--lang", nullptr, nullptr, ParseLanguage};

struct CommandSpec {
    QString name;
    CliCommand command;
    std::vector<OptionSpec> options;
    QString required; // the option the command cannot do without, "" for none
};

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands = {
        {"encrypt", CliCommand::Encrypt, {Out, Attach, MessageFile, KeyFile, Kdf, Force, Lang}, "--out"},
        {"decrypt", CliCommand::Decrypt, {In, OutDir, MessageOut, KeyFile, AcceptBadCheck, Force, Lang}, "--in"},
        {"checksum", CliCommand::Checksum, {KeyFile}, ""},
        {"inspect", CliCommand::Inspect, {In}, "--in"},
    };
    return commands;
}

const CommandSpec* FindCommand(const QString& name)
{
    for (const CommandSpec& command : Commands())
        if (command.name == name)
            return &command;
    return nullptr;
}

const OptionSpec* FindOption(const CommandSpec& command, const QString& name)
{
    for (const OptionSpec& option : command.options)
        if (option.name == name)
            return &option;
    return nullptr;
}

ParsedCommandLine Refuse(const QString& error)
{
    ParsedCommandLine result;
    result.error = error;
    return result;
}

// Reads the options after the command name; "--name value" and "--name=value" both work.
ParsedCommandLine ParseOptions(const CommandSpec& command, const QStringList& arguments)
{
    ParsedCommandLine result;
    result.options.command = command.command;
    QSet<QString> seen;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf('='); name.startsWith(QLatin1String("--")) && equals > 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const OptionSpec* option = FindOption(command, name);
        if (!option)
            return Refuse(name.startsWith('-') ? QStringLiteral("%1 does not take %2").arg(command.name, name)
                                               : QStringLiteral("unexpected argument '%1'").arg(name));
        if (seen.contains(name))
            return Refuse(QStringLiteral("%1 is given twice").arg(name));
        seen.insert(name);
        if (option->takesValue() && !value) {
            if (i + 1 >= arguments.size())
                return Refuse(QStringLiteral("%1 needs a value").arg(name));
            value = arguments[++i];
        }
        if (!option->takesValue() && value)
            return Refuse(QStringLiteral("%1 takes no value").arg(name));
        if (option->takesValue() && value->isEmpty())
            return Refuse(QStringLiteral("%1 needs a value").arg(name));
        if (const QString error = Store(*option, result.options, value.value_or(QString())); !error.isEmpty())
            return Refuse(error);
    }
    if (!command.required.isEmpty() && !seen.contains(command.required))
        return Refuse(QStringLiteral("%1 needs %2").arg(command.name, command.required));
    result.ok = true;
    return result;
}

} // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return Refuse(QStringLiteral("no command given"));
    const QString& first = arguments.front();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("--version")) {
        if (arguments.size() > 1)
            return Refuse(QStringLiteral("%1 stands alone").arg(first));
        ParsedCommandLine result;
        result.ok = true;
        result.options.command = first == QLatin1String("--version") ? CliCommand::Version : CliCommand::Help;
        return result;
    }
    const CommandSpec* command = FindCommand(first);
    if (!command)
        return Refuse(QStringLiteral("unknown command '%1'").arg(first));
    return ParseOptions(*command, arguments);
}

QString VersionText()
{
    return QStringLiteral("quillet-cli " QUILLET_VERSION "\n");
}

QString HelpText()
{
    return QStringLiteral(
        R"(quillet-cli: encrypt a message, and optionally one file, into one ciphertext file
to attach to an e-mail; and decrypt such a file again.

Usage:
  quillet-cli encrypt  --out FILE [--attach FILE] [--message-file FILE] [--key-file FILE]
                       [--kdf interactive|moderate|sensitive] [--force] [--lang en|de]
  quillet-cli decrypt  --in FILE [--out-dir DIR] [--message-out FILE] [--key-file FILE]
                       [--accept-bad-check] [--force] [--lang en|de]
  quillet-cli checksum [--key-file FILE]
  quillet-cli inspect  --in FILE
  quillet-cli --help | --version

Commands:
  encrypt   Encrypts the message (from --message-file, else standard input, as UTF-8 text)
            into the ciphertext file --out, with the file --attach inside it if given.
  decrypt   Decrypts --in. The message goes to --message-out, else standard output, exactly
            as it was encrypted. An attached file is saved in --out-dir, else in the current
            folder, under the name the sender gave it. An existing file of that name, a name
            that begins with "." (a hidden file) and an existing --message-out are written only
            with --force; a name that could leave the folder or mislead is saved under a safe
            name made from it, shown first. The file being decrypted is never replaced.
  checksum  Prints the key's checksum (four digits). Sender and recipient compare it to be
            sure they use the same key, without saying the key.
  inspect   Shows the header fields of a ciphertext file. Needs no key.

Options:
  --out FILE            the ciphertext file to write
  --force               replace --out, --message-out or an attached file's namesake if it
                        exists, and save a hidden attached file (otherwise nothing is replaced)
  --attach FILE         a file to send along with the message
  --message-file FILE   read the message from FILE instead of standard input
  --kdf LEVEL           strength of the key derivation: interactive, moderate (the default)
                        or sensitive; stronger is slower for a guesser and for you
  --in FILE             the ciphertext file to read
  --out-dir DIR         the folder for an attached file (default: the current folder)
  --message-out FILE    write the message to FILE instead of standard output
  --accept-bad-check    go on when the check value does not match (the data may be altered)
  --key-file FILE       read the key from the first line of FILE
  --lang en|de          language of the messages (default: the language chosen in the window)

The key: the first line of --key-file, else the environment variable QUILLET_KEY, else it is
asked for on the terminal without being shown. It needs 16 to 64 significant characters;
spaces and letter case do not count. The same key decrypts in the window and here.

Exit status: 0 done, 1 failed, 2 wrong use of the command line or of the key, 3 wrong key or
damaged file, 4 check value mismatch not accepted, 5 message decrypted but the attached file
not saved. Messages go to standard error.

Example (a round trip):
  echo 'Violets are blue, 1984 miles' > key.txt
  echo 'Meet me at noon.' | quillet-cli encrypt --key-file key.txt --out letter.zip
  quillet-cli decrypt --key-file key.txt --in letter.zip
)");
}
