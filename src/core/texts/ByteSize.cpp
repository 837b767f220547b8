#include "texts/ByteSize.h"

QString FormatByteSize(qint64 n, int decimals, const QLocale& locale)
{
    constexpr qint64 kilobyte = 1024;
    constexpr qint64 megabyte = 1024 * 1024;
    if (n < 0)
        return {};
    if (n < kilobyte)
        return QString::number(n) +
               (locale.language() == QLocale::German ? QStringLiteral(" Bytes") : QStringLiteral(" bytes"));
    if (n < megabyte)
        return locale.toString(double(n) / kilobyte, 'f', decimals) + QStringLiteral(" KB");
    return locale.toString(double(n) / megabyte, 'f', decimals) + QStringLiteral(" MB");
}
