#include "format/AttachedFileName.h"

#include <QStringList>
#include <QUtf8StringView>

namespace {

// Control characters and the invisible marks that reorder how a name is displayed.
bool IsControlOrDirectionMark(char32_t c)
{
    const bool control = c < 0x20 || c == 0x7F;
    const bool embeddingOrOverride = c >= 0x202A && c <= 0x202E;
    const bool isolate = c >= 0x2066 && c <= 0x2069;
    return control || embeddingOrOverride || isolate;
}

bool HasForbiddenCharacter(const QString& name)
{
    for (const char32_t c : name.toUcs4())
        if (c == U'/' || c == U'\\' || IsControlOrDirectionMark(c))
            return true;
    return false;
}

bool HasDrivePrefix(const QString& name)
{
    return name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter();
}

// Windows opens the device, not a file, for these names whatever follows the first dot.
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

} // namespace

QString SafeAttachedFileName(const QByteArray& utf8Name)
{
    if (utf8Name.isEmpty() || utf8Name.size() > MaxAttachedNameBytes)
        return {};
    if (!QUtf8StringView(utf8Name).isValidUtf8())
        return {};
    const QString name = QString::fromUtf8(utf8Name);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    if (HasForbiddenCharacter(name) || HasDrivePrefix(name) || IsReservedDeviceName(name))
        return {};
    return name;
}
