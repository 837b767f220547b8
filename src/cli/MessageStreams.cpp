#include "cli/MessageStreams.h"

#include "cli/CliDialogs.h"
#include "cli/CliOptions.h"
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
    QString errorText;
    FileProc::ReadDescriptorToString(STDIN_FILENO, bytes, limit + 1, errorText);
    return errorText.isEmpty();
}

Outcome WriteStandardOutput(const QByteArray& bytes)
{
    if (std::fwrite(bytes.constData(), 1, bytes.size(), stdout) != static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0)
        return Failure(CliTexts::FileNotWritten)
            .At(QStringLiteral("stdout"), Failure::Place::Path)
            .Because(FileProc::IoErrorText(errno));
    return {};
}

MessageInput ReadMessage(const QString& path, int language)
{
    MessageInput input;
    QByteArray bytes;
    if (path.isEmpty() || IsStandardStream(path)) {
        if (!ReadStandardInput(bytes, LongestMessageRead, CliTexts::TypeTheMessage, language)) {
            input.read = Failure(CliTexts::FileUnreadable)
                             .At(QStringLiteral("stdin"), Failure::Place::Path)
                             .Because(FileProc::IoErrorText(errno));
            return input;
        }
    } else {
        QString errorText;
        FileProc::ReadFileToString(path, bytes, LongestMessageRead + 1, errorText);
        if (!errorText.isEmpty()) {
            input.read = Failure(CliTexts::FileUnreadable).At(path, Failure::Place::Path).Because(errorText);
            return input;
        }
    }
    if (bytes.size() > LongestMessageRead) {
        input.read = Failure(EncryptTexts::MessageTooLong);
        return input;
    }
    // A leading byte-order mark is part of the message and stays.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    input.message = decoder.decode(bytes);
    bytes.fill('\0');
    if (decoder.hasError()) {
        Keys::WipeString(input.message);
        input.read = Failure(CliTexts::MessageNotUtf8);
    }
    return input;
}

Outcome WriteMessage(const QByteArray& message, const QString& path, bool mayReplace, int language)
{
    if (path.isEmpty() || IsStandardStream(path)) {
        // A terminal would obey control sequences in a hostile message; a file or pipe gets the bytes.
        if (!isatty(STDOUT_FILENO))
            return WriteStandardOutput(message);
        QByteArray shown = TerminalText::Escape(QByteArrayView(message), TerminalText::LineBreaks::Keep);
        const Outcome written = WriteStandardOutput(shown);
        shown.fill('\0');
        return written;
    }
    const FileWrite::Result result =
        FileWrite::WriteUserFile(path, message,
                                 {mayReplace ? FileWrite::Existing::Replace : FileWrite::Existing::Keep,
                                  FileWrite::NewFile::Private,
                                  {},
                                  language,
                                  {}});
    if (result.nameTaken)
        return Failure(CliTexts::NotReplaced);
    if (!result.ok())
        return Failure(CliTexts::FileNotWritten).At(path, Failure::Place::Path).Because(result.error);
    return {};
}
