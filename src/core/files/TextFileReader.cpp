#include "files/TextFileReader.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// Text that is not UTF-8 most often comes from a Windows editor: Windows-1252 is Latin-1 except in
// 0x80-0x9F, where it has the euro sign, typographic quotes and dashes instead of control codes.
// The five bytes it leaves unassigned keep their Latin-1 meaning.
QString DecodeWindows1252(const QByteArray& bytes)
{
    static constexpr char16_t HighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uchar>(bytes[i]);
        text[i] = byte >= 0x80 && byte <= 0x9F ? QChar(HighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

} // namespace

QString DecodeTextBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8); // drops a leading byte-order mark
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        const QByteArray utf8Mark("\xEF\xBB\xBF");
        text = DecodeWindows1252(bytes.startsWith(utf8Mark) ? bytes.mid(utf8Mark.size()) : bytes);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

QString ReadFileAsText(const QString& path, QString& text)
{
    text.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
    text = DecodeTextBytes(bytes);
    return {};
}
