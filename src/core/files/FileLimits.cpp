#include "files/FileLimits.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace FileLimits {

QString FormatSizeLimit(qint64 n, bool german)
{
    if (n < 0)
        return {};
    const QLocale locale;
    QString text = locale.toString(n) + (german ? QStringLiteral(" Bytes") : QStringLiteral(" bytes"));
    if (n > 1024)
        text += QStringLiteral(" (") + locale.toString(std::llround(static_cast<double>(n) / 1024.0)) +
                QStringLiteral(" KB)");
    return text;
}

bool FileNameLengthOk(const QString& fileName)
{
    return fileName.size() <= MaxFileNameLength;
}

AppendCheck CheckFileToAppend(const QString& path)
{
    const QFileInfo info(path);
    if (!FileNameLengthOk(info.fileName()))
        return AppendCheck::NameTooLong;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return AppendCheck::Unreadable;
    if (info.size() > MaxAppendedFileSize)
        return AppendCheck::TooLarge;
    if (info.size() == 0)
        return AppendCheck::Empty;
    return AppendCheck::Ok;
}

} // namespace FileLimits
