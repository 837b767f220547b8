#include "cli/KeySource.h"

#include "cli/CliDialogs.h"
#include "cli/CliStatus.h"
#include "files/FileProc.h"
#include "files/InterruptCleanup.h"
#include "keys/KeyRoutines.h"
#include "texts/Language.h"
#include "texts/TerminalText.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Far more than any valid key; a longer line is not read as a key at all.
constexpr qint64 LongestKeyLine = 4096;

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

// The first line of bytes, its line end removed, as text; the bytes are wiped.
// The first line of the bytes as text; false when it is not UTF-8. Read with replacement characters,
// different keys in another encoding would become one key, so such a line is refused.
bool FirstLine(QByteArray& bytes, QString& line)
{
    qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        end = bytes.size();
    if (end > 0 && bytes.at(end - 1) == '\r')
        --end;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    line = decoder.decode(QByteArrayView(bytes.constData(), end));
    bytes.fill('\0');
    if (!decoder.hasError())
        return true;
    Keys::WipeString(line);
    return false;
}

KeyResult Refusal(KeyResult::Status status, const QString& error)
{
    KeyResult result;
    result.status = status;
    result.error = error;
    return result;
}

// Echo off for as long as the object lives; the terminal's settings come back whatever happens,
// also when Ctrl+C, SIGTERM or SIGHUP end the program at the prompt (InterruptCleanup).
class EchoOff {
  public:
    explicit EchoOff(int fd) : fd_(fd)
    {
        if (tcgetattr(fd_, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        InterruptCleanup::WatchTerminal(fd_, saved_);
        active_ = tcsetattr(fd_, TCSANOW, &quiet) == 0;
        if (!active_)
            InterruptCleanup::ForgetTerminal(fd_);
    }
    ~EchoOff()
    {
        if (!active_)
            return;
        tcsetattr(fd_, TCSANOW, &saved_);
        InterruptCleanup::ForgetTerminal(fd_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

  private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

// Reads one line from the terminal with echo off. False when there is no terminal.
bool PromptOnTerminal(const QString& prompt, QByteArray& line)
{
    const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return false;
    {
        // Echo goes off before the prompt appears, so not even a key typed ahead is shown.
        EchoOff quiet(tty);
        const QByteArray promptBytes = prompt.toUtf8() + ' ';
        [[maybe_unused]] const ssize_t shown = write(tty, promptBytes.constData(), promptBytes.size());
        line.reserve(LongestKeyLine); // no reallocation leaves pieces of the key in freed memory
        char c = 0;
        while (line.size() < LongestKeyLine && read(tty, &c, 1) == 1 && c != '\n')
            line.append(c);
        c = 0;
    }
    close(tty);
    return true;
}

// A key others may read is a key others may know: said, not refused (the file may sit where nobody
// else comes, and the user decides).
bool ReadableByOthers(const QString& keyFile)
{
    struct stat status {};
    return stat(QFile::encodeName(keyFile).constData(), &status) == 0 && S_ISREG(status.st_mode) &&
           (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

bool ReadKeyLine(const QString& keyFile, QByteArray& line, QString& errorText)
{
    FileProc::ReadFileToString(keyFile, line, LongestKeyLine, errorText);
    return errorText.isEmpty();
}

// The key as accepted: the first line, prepared as the key-entry window prepares it; false when
// the line is not UTF-8.
bool Prepared(QByteArray& raw, QString& key)
{
    QString line;
    if (!FirstLine(raw, line))
        return false;
    key = Keys::PrepareAcceptedKey(line);
    Keys::WipeString(line);
    return true;
}

// A key for encrypting is typed twice: a typo would leave the receiver with a file nobody can open.
bool TypedTheSameAgain(const QString& key, int language)
{
    QByteArray again;
    if (!PromptOnTerminal(Text(CliTexts::KeyPromptAgain, language), again))
        return false;
    // The same key is the same engine key: spaces and letter case do not count here either.
    QString second;
    if (!Prepared(again, second))
        return false;
    QByteArray firstEngineKey = Keys::MakeEngineKey(key), secondEngineKey = Keys::MakeEngineKey(second);
    const bool same = firstEngineKey == secondEngineKey;
    Keys::WipeString(second);
    Keys::WipeBytes(firstEngineKey);
    Keys::WipeBytes(secondEngineKey);
    return same;
}

} // namespace

KeyResult ObtainKey(const QString& keyFile, const EnvironmentSecret::Taken& environmentKey, int language,
                    bool typeTwice)
{
    QByteArray raw;
    KeyResult result;
    if (!keyFile.isEmpty()) {
        QString errorText;
        if (!ReadKeyLine(keyFile, raw, errorText))
            return Refusal(KeyResult::Status::Unreadable,
                           FileProblem(CliTexts::FileUnreadable, keyFile, errorText, language));
        if (ReadableByOthers(keyFile))
            result.warning = Text(CliTexts::KeyFileReadableByOthers, language) + '\n' +
                             TerminalText::Escape(QDir::toNativeSeparators(keyFile));
    } else if (environmentKey.found) {
        raw = QByteArray(environmentKey.value.constData(), environmentKey.value.size()); // a copy of its own
    } else if (PromptOnTerminal(Text(CliTexts::KeyPrompt, language), raw)) {
        result.typed = true;
    } else {
        return Refusal(KeyResult::Status::NoSource, Text(CliTexts::NoKeySource, language));
    }
    if (!Prepared(raw, result.key))
        return Refusal(KeyResult::Status::NotUtf8, Text(CliTexts::KeyNotUtf8, language));
    const int length = Keys::SignificantLength(result.key);
    if (length < Keys::MinKeyLength || length > Keys::MaxKeyLength) {
        Keys::WipeString(result.key);
        return Refusal(KeyResult::Status::BadLength, Text(CliTexts::KeyLength, language));
    }
    if (result.typed && typeTwice && !TypedTheSameAgain(result.key, language)) {
        Keys::WipeString(result.key);
        return Refusal(KeyResult::Status::Mismatch, Text(CliTexts::KeysDiffer, language));
    }
    result.status = KeyResult::Status::Ok;
    return result;
}
