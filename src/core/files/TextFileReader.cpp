#include "files/TextFileReader.h"

#include <QFile>
#include <QStringDecoder>

QString DecodeTextBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8); // drops a leading byte-order mark
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        const QByteArray utf8Mark("\xEF\xBB\xBF");
        text = QString::fromLatin1(bytes.startsWith(utf8Mark) ? bytes.mid(utf8Mark.size()) : bytes);
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
