#include "engines/ProgramTextFile.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

namespace ProgramTextFile {
namespace {

// A text file many times the size of every text the program has; anything larger is not ours.
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
constexpr int MaxTextNumber = 32767;

struct Entry {
    int number = 0;
    int language = 0;
    std::optional<QString> text; // empty optional: the line names a text but gives none
};

std::optional<int> ParseNumber(const QByteArray& field)
{
    if (field.isEmpty() || field.size() > 5)
        return std::nullopt;
    for (char c : field)
        if (c < '0' || c > '9')
            return std::nullopt;
    const int number = field.toInt();
    if (number < 1 || number > MaxTextNumber)
        return std::nullopt;
    return number;
}

std::optional<int> ParseLanguage(const QByteArray& field)
{
    if (field == "EN")
        return EnglishIndex;
    if (field == "DE")
        return GermanIndex;
    return std::nullopt;
}

std::optional<QString> DecodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// One data line (comments and blank lines already skipped); nullopt when it is malformed.
std::optional<Entry> ParseLine(const QByteArray& line)
{
    const QByteArrayList fields = line.split('\t');
    if (fields.size() < 2)
        return std::nullopt;
    const auto number = ParseNumber(fields[0]);
    const auto language = ParseLanguage(fields[1]);
    if (!number || !language)
        return std::nullopt;
    Entry entry{*number, *language, std::nullopt};
    if (fields.size() == 2)
        return entry;
    // The text is everything after the second TAB (it may itself hold TABs).
    const QByteArray textBytes = line.mid(fields[0].size() + fields[1].size() + 2);
    if (textBytes.isEmpty())
        return entry;
    entry.text = DecodeUtf8(textBytes);
    if (!entry.text)
        return std::nullopt;
    return entry;
}

int32_t LineCode(Code base, Code beyondLastLine, int lineNumber)
{
    if (base != DuplicateBase && lineNumber > LastEncodableLine)
        return beyondLastLine;
    return base - lineNumber;
}

bool IsSkipped(const QByteArray& line)
{
    return line.trimmed().isEmpty() || line.startsWith('#');
}

int32_t ParseContent(const QByteArray& content, Table& table)
{
    Table parsed;
    QByteArrayList lines = content.split('\n');
    if (!lines.isEmpty() && lines[0].startsWith("\xEF\xBB\xBF"))
        lines[0].remove(0, 3);
    for (int index = 0; index < lines.size(); ++index) {
        QByteArray line = lines[index];
        if (line.endsWith('\r'))
            line.chop(1);
        if (IsSkipped(line))
            continue;
        const int lineNumber = index + 1;
        const auto entry = ParseLine(line);
        if (!entry)
            return MalformedLine;
        if (!entry->text)
            return LineCode(MissingBase, MissingBeyondLine500, lineNumber);
        if (entry->text->size() > MaxTextLength)
            return LineCode(TooLongBase, TooLongBeyondLine500, lineNumber);
        const uint32_t key = TextKey(entry->number, entry->language);
        if (parsed.texts.contains(key))
            return LineCode(DuplicateBase, DuplicateBase, lineNumber);
        parsed.texts.insert(key, *entry->text);
    }
    if (parsed.texts.isEmpty())
        return NothingRead;
    table = std::move(parsed);
    return static_cast<int32_t>(table.texts.size());
}

} // namespace

int32_t Read(const QString& path, Table& table)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return CannotOpen;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotOpen;
    const qint64 size = file.size();
    if (size == 0)
        return FileEmpty;
    if (size > MaxFileSize)
        return TooMuchText;
    const QByteArray content = file.readAll();
    if (content.size() != size || file.error() != QFileDevice::NoError)
        return ReadError;
    return ParseContent(content, table);
}

} // namespace ProgramTextFile
