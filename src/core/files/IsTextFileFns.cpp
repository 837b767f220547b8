#include "files/IsTextFileFns.h"

#include "files/PathText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr qint64 smallestJudgedFile = 5;

// Opens path for reading and checks it can be judged at all; 0 when it can, else a negative code.
qint16 OpenForJudging(const QString& path, QFile& file)
{
    if (path.isEmpty())
        return TextFileCode::NoPath;
    if (!QFileInfo(path).isFile())
        return TextFileCode::Missing;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return TextFileCode::Unreadable;
    if (file.size() == 0)
        return TextFileCode::Empty;
    if (file.size() < smallestJudgedFile)
        return TextFileCode::TooShort;
    return 0;
}

qint16 KindFromLeadingBytes(const QByteArray& b, const QString& path)
{
    const auto at = [&b](int i) { return uchar(b.at(i)); };
    if (b.startsWith("{\\rtf"))
        return TextFileCode::KindRichText;
    if (at(0) == 0xFF && at(1) == 0xFE)
        return TextFileCode::KindUtf16Le;
    if (at(0) == 0xFE && at(1) == 0xFF)
        return TextFileCode::KindUtf16Be;
    if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
        return TextFileCode::KindUtf8;
    if (at(0) == 0x00 && at(1) == 0x00 && at(2) == 0xFE && at(3) == 0xFF)
        return TextFileCode::KindUtf32Be;
    if (FileExtension(path, true) == QLatin1String("xml")) {
        if (at(0) == '<')
            return at(1) != 0 ? TextFileCode::KindUtf8 : TextFileCode::KindUtf16Le;
        if (at(0) == 0 && at(1) == '<')
            return TextFileCode::KindUtf16Be;
    }
    return TextFileCode::KindUnknown;
}

bool DeclaresUtf8(const QByteArray& content)
{
    return content.contains("charset=UTF-8") || content.contains("charset=\"UTF-8\"");
}

bool IsCountedControl(uchar c)
{
    constexpr uchar backspace = 8, tab = 9, formFeed = 12;
    return c < ' ' && c != tab && c != formFeed && c != backspace;
}

qint16 LineEndKind(bool sawCr, bool sawLf)
{
    if (sawCr == sawLf)
        return TextFileCode::TextCrLf;
    return sawCr ? TextFileCode::TextCr : TextFileCode::TextLf;
}

} // namespace

bool IsTextTypeExtension(const QString& path)
{
    static const QStringList textTypes = {QStringLiteral("prn"),  QStringLiteral("csv"),   QStringLiteral("xhtml"),
                                          QStringLiteral("xhtm"), QStringLiteral("shtml"), QStringLiteral("shtm"),
                                          QStringLiteral("html"), QStringLiteral("htm"),   QStringLiteral("xml"),
                                          QStringLiteral("log"),  QStringLiteral("txt")};
    return textTypes.contains(FileExtension(path, true));
}

qint16 TextFileKind(const QString& path, bool allowCharsetSearch)
{
    QFile file;
    if (const qint16 refusal = OpenForJudging(path, file); refusal != 0)
        return refusal;
    const QByteArray leading = file.read(smallestJudgedFile);
    if (leading.size() < smallestJudgedFile)
        return TextFileCode::Unreadable;
    const qint16 kind = KindFromLeadingBytes(leading, path);
    if (kind != TextFileCode::KindUnknown || !allowCharsetSearch || !IsTextTypeExtension(path))
        return kind;
    file.seek(0);
    const QByteArray content = file.readAll();
    return DeclaresUtf8(content) ? TextFileCode::KindUtf8 : kind;
}

qint16 IsTextFile(const QString& path, qint32 mostBytes, uchar& firstBad, qint32& firstBadPos, double toleratedPercent,
                  double& percentFound, bool& isUtf8, bool allowCharsetSearch)
{
    firstBad = ' ';
    firstBadPos = 0;
    percentFound = 0.0;
    isUtf8 = false;

    const qint16 kind = TextFileKind(path, allowCharsetSearch);
    if (kind < 0 || kind == TextFileCode::KindRichText)
        return kind;
    if (kind == TextFileCode::KindUtf8) {
        isUtf8 = true;
        return TextFileCode::TextCrLf;
    }
    if (kind != TextFileCode::KindUnknown)
        return TextFileCode::WideUnicode;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TextFileCode::Unreadable;
    const QByteArray bytes = file.read(qMax<qint32>(mostBytes, 0));
    if (file.error() != QFileDevice::NoError)
        return TextFileCode::Unreadable;

    // Judging early keeps a large binary file from being scanned to the end.
    const double earlyLimit = 10.0 * toleratedPercent;
    qint64 badCount = 0;
    bool sawCr = false, sawLf = false;
    for (qint64 i = 1; i <= bytes.size(); ++i) {
        const uchar c = uchar(bytes.at(i - 1));
        if (c == '\n') {
            sawLf = true;
        } else if (c == '\r') {
            sawCr = true;
        } else if (IsCountedControl(c)) {
            ++badCount;
            if (firstBad == ' ') {
                firstBad = c;
                firstBadPos = qint32(i);
            }
        }
        if (i * 5 > mostBytes) {
            const double running = double(badCount) * 100.0 / double(i);
            if (running > earlyLimit) {
                percentFound = running;
                return TextFileCode::NotText;
            }
        }
    }
    if (badCount > 0)
        percentFound = double(badCount) * 100.0 / double(bytes.size());
    if (percentFound > toleratedPercent)
        return TextFileCode::NotText;
    return LineEndKind(sawCr, sawLf);
}

int TextFileMessageNumber(qint16 code)
{
    switch (code) {
    case TextFileCode::TextCrLf:
    case TextFileCode::TextLf:
    case TextFileCode::TextCr:
        return 0;
    case TextFileCode::RichText:
        return 398;
    case TextFileCode::WideUnicode:
        return 392;
    case TextFileCode::NotText:
        return 395;
    case TextFileCode::Empty:
    case TextFileCode::TooShort:
        return 393;
    case TextFileCode::NoPath:
        return 111;
    default:
        return 397;
    }
}
