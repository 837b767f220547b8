#include "cli/MessageStreams.h"

#include "cli/CliDialogs.h"
#include "cli/CliStatus.h"
#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/IoErrorText.h"
#include "format/PlainPackage.h"
#include "keys/KeyRoutines.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/Language.h"
#include "texts/TerminalText.h"

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
    QString errorText;
    FileProc::ReadDescriptorToString(STDIN_FILENO, bytes, LongestMessageRead + 1, errorText);
    return errorText.isEmpty();
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

QString WriteMessage(const QByteArray& message, const QString& path, bool mayReplace, int language, bool& taken)
{
    taken = false;
    if (path.isEmpty()) {
        // A terminal would obey control sequences in a hostile message; a file or pipe gets the bytes.
        QByteArray shown = isatty(STDOUT_FILENO)
                               ? TerminalText::Escape(QByteArrayView(message), TerminalText::LineBreaks::Keep)
                               : message;
        const bool written =
            std::fwrite(shown.constData(), 1, shown.size(), stdout) == static_cast<size_t>(shown.size()) &&
            std::fflush(stdout) == 0;
        const int cause = errno;
        shown.fill('\0');
        return written ? QString()
                       : FileProblem(CliTexts::FileNotWritten, QStringLiteral("stdout"), FileProc::IoErrorText(cause),
                                     language);
    }
    const FileWrite::Result result = FileWrite::WriteUserFile(
        path, message, {mayReplace ? FileWrite::Existing::Replace : FileWrite::Existing::Keep});
    taken = result.nameTaken;
    if (taken)
        return Text(CliTexts::NotReplaced, language);
    return result.ok() ? QString() : FileProblem(CliTexts::FileNotWritten, path, result.error, language);
}
