// inspect: the public fields of a ciphertext file, without a key.
#include "cli/CliCommands.h"
#include "cli/MessageStreams.h"

#include "engines/CipherBody.h"
#include "files/FileProc.h"
#include "files/IoErrorText.h"
#include "format/ArmoredText.h"
#include "format/CiphertextFile.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/Failure.h"
#include "texts/Language.h"

#include <cerrno>
#include <cstdio>

namespace {

constexpr qsizetype VersionOffset = static_cast<qsizetype>(cipher_body::kMagic.size());

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

// The decorative name as printable ASCII; anything else a hostile file put there is shown escaped.
QString PrintableName(const QByteArray& name)
{
    QString shown;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        shown +=
            byte >= 0x20 && byte < 0x7F ? QString(QChar(byte)) : QStringLiteral("\\x%1").arg(byte, 2, 16, QChar('0'));
    }
    return shown;
}

QString FieldLines(const CiphertextHeaderInfo& header, const QByteArray& body, const cipher_body::BodyHeader& engine)
{
    const QList<std::pair<QString, QString>> fields = {
        {"header length", QString::number(header.headerLength)},
        {"flags", QString::number(header.flags)},
        {"method", QString::number(header.method)},
        {"stated compressed size", QString::number(header.statedCompressedSize)},
        {"stated uncompressed size", QString::number(header.statedUncompressedSize)},
        {"name", PrintableName(header.name)},
        {"body length", QString::number(header.bodyLength)},
        {"format version", QString::number(static_cast<unsigned char>(body.at(VersionOffset)))},
        {"key-derivation passes", QString::number(engine.kdf.opsLimit)},
        {"key-derivation memory", QString::number(engine.kdf.memLimitKiB) + " KiB"},
    };
    QString lines;
    for (const auto& [name, value] : fields)
        lines += name + ": " + value + '\n';
    return lines;
}

// Why the body is not readable: not ours (or newer), or its parameters out of bounds, in the words
// a failed decryption uses.
QString BodyProblem(int32_t code, int language)
{
    return EngineCauseLines(code, language).join('\n');
}

} // namespace

namespace {

// The ciphertext file in binary form, from the file or standard input, in either form. False with
// the problem shown.
bool ReadBinaryForm(const CliOptions& options, int language, CliDialogs& dialogs, QByteArray& file)
{
    QString errorText;
    if (IsStandardStream(options.in)) {
        if (!ReadStandardInput(file, MaxCiphertextTextBytes, CliTexts::PasteTheBlock, language))
            errorText = FileProc::IoErrorText(errno);
    } else {
        FileProc::ReadFileToString(options.in, file, MaxCiphertextTextBytes + 1, errorText);
    }
    if (!errorText.isEmpty()) {
        dialogs.say(FileProblem(CliTexts::CiphertextUnreadable, options.in, errorText, language));
        return false;
    }
    if (Armor::LooksBinary(file))
        return true;
    Armor::Decoded decoded = Armor::Decode(file);
    if (decoded.found == Armor::Found::Ok)
        file = std::move(decoded.ciphertextFile);
    else if (decoded.found != Armor::Found::NoBlock) {
        const int text = decoded.found == Armor::Found::TwoBlocks ? DecryptTexts::ArmorTwoBlocks
                         : decoded.found == Armor::Found::Unended ? DecryptTexts::ArmorUnended
                                                                  : DecryptTexts::ArmorDamaged;
        dialogs.say(Text(text, language));
        return false;
    }
    return true;
}

} // namespace

ExitStatus RunInspect(const CliOptions& options, int language, CliDialogs& dialogs)
{
    QByteArray file;
    if (!ReadBinaryForm(options, language, dialogs, file))
        return ExitStatus::Failure;
    CiphertextHeaderInfo header = DescribeCiphertextHeader(file);
    if (!header.ok) {
        dialogs.say(Text(NotCiphertextFileText, language));
        return ExitStatus::Failure;
    }
    header.bodyLength = file.size() - header.headerLength;
    const QByteArray body = file.mid(header.headerLength);
    cipher_body::BodyHeader engine;
    if (const int32_t code = cipher_body::parse_header(body, engine); code != cipher_result::kOk) {
        dialogs.say(BodyProblem(code, language));
        return ExitStatus::Failure;
    }
    std::fputs(FieldLines(header, body, engine).toUtf8().constData(), stdout);
    return std::fflush(stdout) == 0 ? ExitStatus::Success : ExitStatus::Failure;
}
