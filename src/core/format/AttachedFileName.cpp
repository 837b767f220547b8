#include "format/AttachedFileName.h"

#include "format/WindowsFileNames.h"

#include <QList>
#include <QUtf8StringView>

namespace {

constexpr char32_t Replacement = U'_';

bool IsControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The invisible marks that reorder how a name is displayed.
bool IsDirectionMark(char32_t c)
{
    const bool mark = c == 0x200E || c == 0x200F || c == 0x061C;
    const bool embeddingOrOverride = c >= 0x202A && c <= 0x202E;
    const bool isolate = c >= 0x2066 && c <= 0x2069;
    return mark || embeddingOrOverride || isolate;
}

bool IsRefusedCharacter(char32_t c)
{
    return c == U'/' || c == U'\\' || IsControl(c) || IsDirectionMark(c);
}

bool HasRefusedCharacter(const QString& name)
{
    for (const char32_t c : name.toUcs4())
        if (IsRefusedCharacter(c))
            return true;
    return false;
}

bool RefusedOnThisSystem(const QString& name)
{
#ifdef Q_OS_WIN
    return WindowsFileNames::IsRefusedOnWindows(name);
#else
    Q_UNUSED(name);
    return false;
#endif
}

// Shortens the part in front of the extension until the whole name fits.
QString Shortened(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString extension = dot > 0 ? name.mid(dot) : QString();
    if (extension.toUtf8().size() > MaxAttachedNameBytes / 2)
        extension.clear();
    QString stem = dot > 0 && !extension.isEmpty() ? name.left(dot) : name;
    while (!stem.isEmpty() && (stem + extension).toUtf8().size() > MaxAttachedNameBytes)
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    return stem + extension;
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
    if (HasRefusedCharacter(name) || RefusedOnThisSystem(name))
        return {};
    return name;
}

QString DerivedAttachedFileName(const QByteArray& utf8Name)
{
    if (const QString safe = SafeAttachedFileName(utf8Name); !safe.isEmpty())
        return safe;
    // Each byte that is not UTF-8 decodes to U+FFFD, which is replaced like any refused character.
    QList<uint> characters = QString::fromUtf8(utf8Name).toUcs4();
    for (uint& c : characters)
        if (IsRefusedCharacter(c) || c == 0xFFFD)
            c = Replacement;
    QString name = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), characters.size());
    if (name.isEmpty() || name == QLatin1String("."))
        name = QStringLiteral("_");
    else if (name == QLatin1String(".."))
        name = QStringLiteral("__");
    name = Shortened(name);
#ifdef Q_OS_WIN
    if (RefusedOnThisSystem(name))
        name.prepend(QLatin1Char(Replacement));
#endif
    return name;
}

bool IsHiddenFileName(const QString& name)
{
    return name.startsWith(QLatin1Char('.'));
}
