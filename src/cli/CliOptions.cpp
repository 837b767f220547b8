#include "cli/CliOptions.h"

#include "texts/Language.h"

#include <QSet>

#include <optional>
#include <vector>

namespace {

// One option: its long name, its one-letter form (0 for none), and where it lands in CliOptions: a
// value kept as given, a switch, or a value with its own rule (parse returns an error text, "" when
// the value is fine).
struct OptionSpec {
    QString name;
    char letter = 0;
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

// -o and -i name each command's own output and input.
const OptionSpec Out{"--out", 'o', &CliOptions::out};
const OptionSpec Attach{"--attach", 'a', &CliOptions::attach};
const OptionSpec MessageFile{"--message-file", 'i', &CliOptions::messageFile};
const OptionSpec In{"--in", 'i', &CliOptions::in};
const OptionSpec OutDir{"--out-dir", 0, &CliOptions::outDir};
const OptionSpec MessageOut{"--message-out", 'o', &CliOptions::messageOut};
const OptionSpec KeyFile{"--key-file", 'k', &CliOptions::keyFile};
const OptionSpec Kdf{"--kdf", 0, nullptr, nullptr, ParseKdf};
const OptionSpec Force{"--force", 'f', nullptr, &CliOptions::force};
const OptionSpec Armor{"--armor", 0, nullptr, &CliOptions::armor};
const OptionSpec AcceptBadCheck{"--accept-bad-check", 0, nullptr, &CliOptions::acceptBadCheck};
const OptionSpec Strength{"--strength", 0, nullptr, &CliOptions::strength};
const OptionSpec Lang{"--lang", 0, nullptr, nullptr, ParseLanguage};

struct CommandSpec {
    QString name;
    CliCommand command;
    std::vector<OptionSpec> options;
    QString required;   // the option the command cannot do without, "" for none
    QString positional; // the option a bare argument gives, "" when the command takes none
};

const std::vector<CommandSpec>& Commands()
{
    static const std::vector<CommandSpec> commands = {
        {"encrypt",
         CliCommand::Encrypt,
         {Out, Attach, MessageFile, KeyFile, Kdf, Armor, Force, Lang},
         "--out",
         "--message-file"},
        {"decrypt", CliCommand::Decrypt, {In, OutDir, MessageOut, KeyFile, AcceptBadCheck, Force, Lang}, "", "--in"},
        {"checksum", CliCommand::Checksum, {KeyFile, Strength, Lang}, "", ""},
        {"keygen", CliCommand::Keygen, {Lang}, "", ""},
        {"inspect", CliCommand::Inspect, {In}, "--in", "--in"},
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

// name is "--long" or "-x".
const OptionSpec* FindOption(const CommandSpec& command, const QString& name)
{
    for (const OptionSpec& option : command.options)
        if (option.name == name ||
            (option.letter != 0 && name == QStringLiteral("-%1").arg(QChar::fromLatin1(option.letter))))
            return &option;
    return nullptr;
}

ParsedCommandLine Refuse(const QString& error)
{
    ParsedCommandLine result;
    result.error = error;
    return result;
}

// One word of the command line taken apart: the option it names and the value written into it
// ("--name=value", "-xvalue"), if any.
struct OptionWord {
    QString name;
    std::optional<QString> value;
};

OptionWord SplitOptionWord(const QString& word)
{
    if (word.startsWith(QLatin1String("--"))) {
        if (const qsizetype equals = word.indexOf('='); equals > 0)
            return {word.left(equals), word.mid(equals + 1)};
        return {word, std::nullopt};
    }
    if (word.size() > 2)
        return {word.left(2), word.mid(2)};
    return {word, std::nullopt};
}

// An argument that is not an option: "-" alone (a standard stream), anything after "--", and
// anything that does not start with "-".
bool IsOperand(const QString& word, bool optionsEnded)
{
    return optionsEnded || word == QLatin1String("-") || !word.startsWith('-');
}

class OptionReader {
  public:
    OptionReader(const CommandSpec& command, const QStringList& arguments) : command_(command), arguments_(arguments)
    {
        result_.options.command = command.command;
    }

    ParsedCommandLine Read()
    {
        bool optionsEnded = false;
        for (i_ = 1; i_ < arguments_.size(); ++i_) {
            const QString& word = arguments_[i_];
            QString error;
            if (!optionsEnded && word == QLatin1String("--"))
                optionsEnded = true;
            else if (IsOperand(word, optionsEnded))
                error = TakeOperand(word);
            else
                error = TakeOption(word);
            if (!error.isEmpty())
                return Refuse(error);
        }
        if (!command_.required.isEmpty() && !seen_.contains(command_.required))
            return Refuse(QStringLiteral("%1 needs %2").arg(command_.name, command_.required));
        result_.ok = true;
        return result_;
    }

  private:
    QString TakeOperand(const QString& word)
    {
        const OptionSpec* option = command_.positional.isEmpty() ? nullptr : FindOption(command_, command_.positional);
        if (!option)
            return QStringLiteral("unexpected argument '%1'").arg(word);
        if (seen_.contains(option->name))
            return QStringLiteral("%1 is given twice ('%2')").arg(option->name, word);
        return Keep(*option, word);
    }

    QString TakeOption(const QString& word)
    {
        OptionWord parts = SplitOptionWord(word);
        const OptionSpec* option = FindOption(command_, parts.name);
        if (!option)
            return QStringLiteral("%1 does not take %2").arg(command_.name, parts.name);
        if (seen_.contains(option->name))
            return QStringLiteral("%1 is given twice").arg(option->name);
        if (!option->takesValue() && parts.value)
            return QStringLiteral("%1 takes no value").arg(parts.name);
        if (option->takesValue() && !parts.value) {
            if (i_ + 1 >= arguments_.size())
                return QStringLiteral("%1 needs a value").arg(parts.name);
            parts.value = arguments_[++i_];
        }
        return Keep(*option, parts.value.value_or(QString()));
    }

    QString Keep(const OptionSpec& option, const QString& value)
    {
        if (option.takesValue() && value.isEmpty())
            return QStringLiteral("%1 needs a value").arg(option.name);
        seen_.insert(option.name);
        return Store(option, result_.options, value);
    }

    const CommandSpec& command_;
    const QStringList& arguments_;
    qsizetype i_ = 1;
    QSet<QString> seen_;
    ParsedCommandLine result_;
};

} // namespace

bool IsStandardStream(const QString& path)
{
    return path == QLatin1String("-");
}

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
    return OptionReader(*command, arguments).Read();
}

QString VersionText()
{
    return QStringLiteral("quillet-cli " QUILLET_VERSION "\n");
}

QString HelpText()
{
    return QStringLiteral(
        R"(quillet-cli: encrypt a message, and optionally one file, into one ciphertext file
to attach to an e-mail, or into a text block for the body of an e-mail; and decrypt either again.

Usage:
  quillet-cli encrypt  -o FILE [-a FILE] [-k FILE] [--armor] [-f]
                       [--kdf interactive|moderate|sensitive] [--lang en|de] [MESSAGE-FILE]
  quillet-cli decrypt  [-o FILE] [--out-dir DIR] [-k FILE] [--accept-bad-check] [-f]
                       [--lang en|de] [CIPHERTEXT]
  quillet-cli checksum [-k FILE] [--strength] [--lang en|de]
  quillet-cli keygen   [--lang en|de]
  quillet-cli inspect  CIPHERTEXT
  quillet-cli --help | --version

Commands:
  encrypt   Encrypts the message (from MESSAGE-FILE, else standard input, as UTF-8 text) into
            the ciphertext file --out, with the file --attach inside it if given.
  decrypt   Decrypts CIPHERTEXT (else standard input, when it is not a terminal): the binary
            file or its text block, also inside a saved e-mail. The message goes to
            --message-out, else standard output, exactly as it was encrypted. An attached file
            is saved in --out-dir, else in the current folder, under the name the sender gave
            it. An existing file of that name, a name beginning with "." (a hidden file) and an
            existing --message-out are written only with --force; a name that could leave the
            folder or mislead is saved under a safe name made from it. The file being decrypted
            is never replaced.
  checksum  Prints the key's checksum (four digits). Sender and recipient compare it to be
            sure they use the same key, without saying the key. With --strength it also
            rates how hard the key is to guess and how long the guesses would take.
  keygen    Prints a new random key of 100 bits (five groups of four characters that cannot
            be mistaken for each other), its checksum on standard error. Pass it on by
            another channel than the e-mail that carries the file.
  inspect   Shows the header fields of a binary ciphertext file. Needs no key.

Options:
  -o, --out FILE           encrypt: the ciphertext file to write; - for standard output
                           (binary only into a file or pipe, never onto a terminal)
  --armor                  encrypt: write the text form (a block of Base64 lines between
                           BEGIN and END lines) for the body of an e-mail; its filler is
                           smaller, so a short message stays a short block
  -f, --force              encrypt: replace --out if it exists (otherwise it is kept and
                           nothing is done); decrypt: replace --message-out or a file of the
                           attached file's name, and save a hidden attached file
  -a, --attach FILE        encrypt: a file to send along with the message
  -i, --message-file FILE  encrypt: read the message from FILE (- for standard input)
  --kdf LEVEL              encrypt: strength of the key derivation: interactive, moderate
                           (the default) or sensitive; stronger is slower for a guesser and
                           for you
  -i, --in FILE            decrypt, inspect: the ciphertext file (- for standard input)
  -o, --message-out FILE   decrypt: write the message to FILE (- for standard output)
  --out-dir DIR            decrypt: the folder for an attached file (default: the current
                           folder)
  --accept-bad-check       decrypt: go on when the check value does not match (the data may
                           be altered)
  -k, --key-file FILE      read the key from the first line of FILE
  --strength               checksum: rate the key's strength as well
  --lang en|de             language of the messages (default: the language chosen in the
                           window)
  --                       ends the options: what follows is a file name, even if it
                           begins with -

The key: the first line of --key-file, else the environment variable QUILLET_KEY, else it is
asked for on the terminal without being shown (twice for encrypt: both must be the same). It
needs 16 to 64 significant characters; spaces and letter case do not count, an emoji counts as
one; it must be UTF-8 text. The same key decrypts in the window and here. quillet-cli takes QUILLET_KEY
out of its own environment as it starts, overwriting the whole entry, but while the variable is
set, every process of the same user can read it (and a shell may keep it in its history): for
scripts, a key file of mode 0600 is the safer choice.

Exit status: 0 done, 1 failed, 2 wrong use of the command line or of the key, 3 wrong key or
damaged file, 4 check value mismatch not accepted, 5 message decrypted but the attached file
not saved. Messages go to standard error, behind "quillet-cli:".

Example (a round trip with a file to attach to an e-mail; the key file readable by you alone):
  (umask 077; echo 'Violets are blue, 1984 miles' > key.txt)
  echo 'Meet me at noon.' | quillet-cli encrypt -k key.txt -o letter.zip
  quillet-cli decrypt -k key.txt letter.zip

Example (the same as text for the body of an e-mail):
  echo 'Meet me at noon.' | quillet-cli encrypt --armor -k key.txt -o letter.txt
  quillet-cli decrypt -k key.txt letter.txt
)");
}
