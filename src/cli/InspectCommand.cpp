// inspect: the public fields of a ciphertext file, without a key.
#include "cli/CliCommands.h"

#include "engines/CipherBody.h"
#include "files/FileProc.h"
#include "format/CiphertextFile.h"
#include "texts/Language.h"

#include <QFileInfo>

#include <cstdio>

namespace {

// The header is at most 255 bytes; the body's public fields follow it. Nothing further is read,
// so inspecting a large file costs nothing.
constexpr qint64 InspectedBytes = 255 + static_cast<qint64>(cipher_body::kHeaderBytes);
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

// Why the body is not readable: not ours (or newer), or its parameters out of bounds.
QString BodyProblem(int32_t code, int language)
{
    if (code == cipher_result::kNotABody)
        return Text(CliTexts::NotOurFile, language) + '\n' + Text(CliTexts::NewerVersion, language);
    return Text(CliTexts::Damaged, language);
}

} // namespace

ExitStatus RunInspect(const CliOptions& options, int language, CliDialogs& dialogs)
{
    QByteArray file;
    QString errorText;
    FileProc::ReadFileToString(options.in, file, InspectedBytes, errorText);
    if (!errorText.isEmpty()) {
        dialogs.say(FileProblem(CliTexts::CiphertextUnreadable, options.in, errorText, language));
        return ExitStatus::Failure;
    }
    CiphertextHeaderInfo header = DescribeCiphertextHeader(file);
    if (!header.ok) {
        dialogs.say(Text(NotCiphertextFileText, language));
        return ExitStatus::Failure;
    }
    header.bodyLength = QFileInfo(options.in).size() - header.headerLength;
    const QByteArray body = file.mid(header.headerLength);
    cipher_body::BodyHeader engine;
    if (const int32_t code = cipher_body::parse_header(body, engine); code != cipher_result::kOk) {
        dialogs.say(BodyProblem(code, language));
        return ExitStatus::Failure;
    }
    std::fputs(FieldLines(header, body, engine).toUtf8().constData(), stdout);
    return std::fflush(stdout) == 0 ? ExitStatus::Success : ExitStatus::Failure;
}
