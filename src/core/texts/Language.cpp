#include "texts/Language.h"

#include "engines/ProgramTextFile.h"
#include "engines/toolkit.h"
#include "texts/SettingsStore.h"

#include <array>

namespace Language {
namespace {

const QString DataFileName = QStringLiteral("zeb.dat");
const QString ProductCode = QStringLiteral("ZEB");
const QString LanguageValueName = QStringLiteral("Language");
// Index = language: English, German, Spanish. Spanish is recognised but not offered.
const std::array<QString, 3> LanguageCodes = {QStringLiteral("EN"), QStringLiteral("DE"), QStringLiteral("ES")};

constexpr int TextBufferSize = 1024;
constexpr int SoftwareTextNumber = 273;
constexpr int MakerNameTextNumber = 310;

// "Software\<maker>\ZEB", built afresh from the texts, which read the same in every language.
QString RegistryKeyPath(int language)
{
    return GetProgramText(SoftwareTextNumber, language) + QLatin1Char('\\') +
           GetProgramText(MakerNameTextNumber, language) + QLatin1Char('\\') + ProductCode;
}

QString LineMessage(const char* what, int line)
{
    return QStringLiteral("%1 %2.").arg(QLatin1String(what)).arg(line);
}

} // namespace

QString ProgramTextFilePath(const QString& programFolder)
{
    if (programFolder.isEmpty() || programFolder.endsWith(QLatin1Char('/')))
        return programFolder + DataFileName;
    return programFolder + QLatin1Char('/') + DataFileName;
}

int LoadProgramTexts(const QString& programFolder)
{
    return lt(ProgramTextFilePath(programFolder).toUtf8().constData(), 0);
}

QString LoadFailureMessage(int result, const QString& fullPath)
{
    using namespace ProgramTextFile;
    switch (result) {
    case NothingRead:
        return QStringLiteral("No program text was read.");
    case CannotOpen:
        return QStringLiteral("Cannot open file containing program text.\r\n") + fullPath;
    case AllocationFailed:
        return QStringLiteral("Particular memory allocation error.");
    case TooMuchText:
        return QStringLiteral("Too much program text.");
    case TextNotRecovered:
        return QStringLiteral("Text not recovered.");
    case FileEmpty:
        return QStringLiteral("File is empty.");
    case ReadError:
        return QStringLiteral("Error reading file.");
    case OutOfMemory:
        return QStringLiteral("General memory allocation error.");
    }
    // A line-carrying code counts down from its base by the line number.
    if (result < DuplicateBase)
        return LineMessage("Duplicate in program text at line", DuplicateBase - result);
    if (result < TooLongBase)
        return LineMessage("String too long at line", TooLongBase - result);
    if (result < MissingBase)
        return LineMessage("Missing string at line", MissingBase - result);
    if (result > 0)
        return QString();
    return QStringLiteral("Error ") + QString::number(result);
}

QString GetProgramText(int number, int language)
{
    char16_t buffer[TextBufferSize];
    const int32_t length = gt(static_cast<int16_t>(number), static_cast<int16_t>(language), buffer, TextBufferSize, 1);
    if (length <= 0)
        return QString();
    QString text = QString::fromUtf16(buffer, length);
    return text == QLatin1String("~") ? QString() : text;
}

int ChooseLanguage()
{
    QString stored;
    const QString status = SettingsStore::ReadRegistryString(SettingsStore::CurrentUserRoot, RegistryKeyPath(NotChosen),
                                                             LanguageValueName, stored, 0);
    if (!SettingsStore::Succeeded(status))
        return English;
    // Exact, case-sensitive match; only German changes the start language.
    return stored == LanguageCodes[German] ? German : English;
}

void StoreLanguage(int language)
{
    if (language < 0 || language >= static_cast<int>(LanguageCodes.size()))
        return;
    // Nothing to tell the user: the language in force stays, only the next start would differ.
    SettingsStore::WriteRegistryString(SettingsStore::CurrentUserRoot, RegistryKeyPath(language), LanguageValueName,
                                       LanguageCodes[language]);
}

} // namespace Language
