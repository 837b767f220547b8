#include "cli/MessageStreams.h"

#include "cli/CliDialogs.h"
#include "cli/CliOptions.h"
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

#include <algorithm>
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

void Hint(int number, int language)
{
    std::fputs((Text(number, language) + '\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

} // namespace

bool ReadStandardInput(QByteArray& bytes, qint64 limit, int hint, int language)
{
    // A person at a terminal would otherwise face a silent wait.
    if (isatty(STDIN_FILENO))
        Hint(hint, language);
    bytes.clear();
    char buffer[65536];
    while (bytes.size() <= limit) {
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.append(buffer, got);
    }
    std::fill(std::begin(buffer), std::end(buffer), '\0');
    return true;
}

QString WriteStandardOutput(const QByteArray& bytes, int language)
{
    if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) != static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0)
        return FileProblem(CliTexts::FileNotWritten, QStringLiteral("stdout"), FileProc::IoErrorText(errno), language);
    return {};
}

MessageInput ReadMessage(const QString& path, int language)
{
    MessageInput input;
    QByteArray bytes;
    if (path.isEmpty() || IsStandardStream(path)) {
        if (!ReadStandardInput(bytes, LongestMessageRead, CliTexts::TypeTheMessage, language)) {
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
    if (path.isEmpty() || IsStandardStream(path)) {
        error = WriteStandardOutput(bytes, language);
    } else if (const QString cause = FileProc::WriteStringToFile(bytes, path); !cause.isEmpty()) {
        error = FileProblem(CliTexts::FileNotWritten, path, cause, language);
    }
    bytes.fill('\0');
    return error;
}
