#include "format/WindowsFileNames.h"

#include <QStringList>

namespace WindowsFileNames {

bool HasDrivePrefix(const QString& name)
{
    return name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter();
}

bool IsReservedDeviceName(const QString& name)
{
    static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                      QStringLiteral("NUL")};
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    if (fixed.contains(stem))
        return true;
    const bool numberedPort =
        stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")));
    return numberedPort && stem.at(3) >= QLatin1Char('1') && stem.at(3) <= QLatin1Char('9');
}

bool IsRefusedOnWindows(const QString& name)
{
    return HasDrivePrefix(name) || IsReservedDeviceName(name);
}

} // namespace WindowsFileNames
