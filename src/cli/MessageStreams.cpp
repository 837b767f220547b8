#include "cli/MessageStreams.h"

#include "cli/CliDialogs.h"
#include "cli/CliStatus.h"
#include "files/FileProc.h"
#include "files/IoErrorText.h"
#include "format/PlainPackage.h"
#include "keys/KeyRoutines.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/Language.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

// Ten times what a package can carry: enough to tell "too long" by the pipeline's own message,
// without reading an endless stream into memory.
constexpr qint64 LongestMessageRead = 10 * MaxMessageBytes;

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

bool ReadStandardInput(QByteArray& bytes, int language)
{
    // A person at a terminal would otherwise face a silent wait.
    if (isatty(STDIN_FILENO)) {
        std::fputs((Text(CliTexts::TypeTheMessage, language) + '\n').toUtf8().constData(), stderr);
        std::fflush(stderr);
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return false;
    bytes = in.read(LongestMessageRead + 1);
    return in.error() == QFileDevice::NoError;
}

} // namespace

MessageInput ReadMessage(const QString& path, int language)
{
    MessageInput input;
    QByteArray bytes;
    if (path.isEmpty()) {
        if (!ReadStandardInput(bytes, language)) {
            input.error =
                FileProblem(CliTexts::FileUnreadable, QStringLiteral("stdin"), FileProc::IoErrorText(errno), language);
            return input;
        }
    } else {
        QString errorText;
        FileProc::ReadFileToString(path, bytes, LongestMessageRead + 1, errorText);
        if (!errorText.isEmpty()) {
            input.error = FileProblem(CliTexts::FileUnreadable, path, errorText, language);
            return input;
        }
    }
    if (bytes.size() > LongestMessageRead) {
        input.error = Text(EncryptTexts::MessageTooLong, language);
        return input;
    }
    // A leading byte-order mark is part of the message and stays.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    input.message = decoder.decode(bytes);
    bytes.fill('\0');
    if (decoder.hasError()) {
        Keys::WipeString(input.message);
        input.error = Text(CliTexts::MessageNotUtf8, language);
        return input;
    }
    input.ok = true;
    return input;
}

QString WriteMessage(const QString& message, const QString& path, int language)
{
    QByteArray bytes = message.toUtf8();
    QString error;
    if (path.isEmpty()) {
        if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) != static_cast<size_t>(bytes.size()) ||
            std::fflush(stdout) != 0)
            error =
                FileProblem(CliTexts::FileNotWritten, QStringLiteral("stdout"), FileProc::IoErrorText(errno), language);
    } else if (const QString cause = FileProc::WriteStringToFile(bytes, path, {}, FileProc::NewFileAccess::OwnerOnly);
               !cause.isEmpty()) {
        error = FileProblem(CliTexts::FileNotWritten, path, cause, language);
    }
    bytes.fill('\0');
    return error;
}
