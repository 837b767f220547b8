#include "format/AttachedFileName.h"

#include "format/WindowsFileNames.h"

#include <QList>
#include <QStringDecoder>
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

// The signs that stand in front of a number in Arabic and other scripts are format characters too,
// but visible ones.
bool IsVisibleFormatSign(char32_t c)
{
    return (c >= 0x0600 && c <= 0x0605) || c == 0x06DD || c == 0x070F || c == 0x0890 || c == 0x0891 || c == 0x08E2 ||
           c == 0x110BD || c == 0x110CD;
}

// Characters that show as nothing: the format characters (zero-width space and joiners, the word
// joiner, the byte-order mark, the soft hyphen, the tags, ...), the invisible combining marks and
// the fillers that print as blank. With one of them, "report.pdf" and a name that only looks like
// it are two different files.
bool IsInvisible(char32_t c)
{
    if (QChar::category(c) == QChar::Other_Format && !IsVisibleFormatSign(c))
        return true;
    const bool combining = c == 0x034F || c == 0x17B4 || c == 0x17B5 || (c >= 0x180B && c <= 0x180F) ||
                           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
    const bool filler = c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0;
    const bool separator = c == 0x2028 || c == 0x2029;
    return combining || filler || separator;
}

bool IsRefusedCharacter(char32_t c)
{
    return c == U'/' || c == U'\\' || IsControl(c) || IsDirectionMark(c) || IsInvisible(c);
}

// A space at either end, or a dot at the end, is easily not seen: "report.pdf " and "report.pdf."
// pass for "report.pdf". (A dot in front makes a hidden file, which is asked about on its own.)
bool IsRefusedAtStart(char32_t c)
{
    return QChar::isSpace(c);
}

bool IsRefusedAtEnd(char32_t c)
{
    return QChar::isSpace(c) || c == U'.';
}

// Each position of the name that is refused, with the character there.
QList<bool> RefusedPositions(const QList<uint>& characters)
{
    QList<bool> refused(characters.size(), false);
    for (qsizetype i = 0; i < characters.size(); ++i)
        refused[i] = IsRefusedCharacter(characters[i]);
    for (qsizetype i = 0; i < characters.size() && IsRefusedAtStart(characters[i]); ++i)
        refused[i] = true;
    for (qsizetype i = characters.size() - 1; i >= 0 && IsRefusedAtEnd(characters[i]); --i)
        refused[i] = true;
    return refused;
}

// The name as sent: a byte-order mark in front is a character of the name, not to be dropped.
QString Decoded(const QByteArray& utf8Name)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8Name);
}

bool HasRefusedCharacter(const QString& name)
{
    return RefusedPositions(name.toUcs4()).contains(true);
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
    const QString name = Decoded(utf8Name);
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
    QList<uint> characters = Decoded(utf8Name).toUcs4();
    const QList<bool> refused = RefusedPositions(characters);
    for (qsizetype i = 0; i < characters.size(); ++i)
        if (refused[i] || characters[i] == 0xFFFD)
            characters[i] = Replacement;
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
