#include "texts/SettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <memory>
#include <optional>

namespace SettingsStore {
namespace {

// Codes the settings file's status texts begin with, kept so that status texts read the same everywhere.
constexpr int AccessDenied = 5;
constexpr int InvalidHandle = 6;
constexpr int BadPathName = 161;
constexpr int InvalidData = 13;
constexpr int WriteFault = 29;

const QString KeyNotFound = QStringLiteral("1 Key not found or is empty.");
const QString NameNotSpecified = QStringLiteral("2 Name not specified.");
const QString NameNotFound = QStringLiteral("3 Name not found.");

struct KeyLocation {
    QString organization;
    QString application;
    QString group; // "" for the product key itself
};

// "Software\Maker\Product[\Sub...]" → its QSettings location; nullopt for any other shape.
std::optional<KeyLocation> LocateKey(const QString& keyPath)
{
    const QStringList parts = keyPath.split(QLatin1Char('\\'));
    if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    for (const QString& part : parts)
        if (part.isEmpty() || part.contains(QLatin1Char('/')))
            return std::nullopt;
    return KeyLocation{parts[1], parts[2], parts.mid(3).join(QLatin1Char('/'))};
}

std::unique_ptr<QSettings> OpenKey(const KeyLocation& location)
{
    auto settings = std::make_unique<QSettings>(location.organization, location.application);
    // Only this key counts: no organization-wide or system-wide values.
    settings->setFallbacksEnabled(false);
    return settings;
}

bool KeyExists(QSettings& settings, const KeyLocation& location)
{
    if (!QFileInfo::exists(settings.fileName()))
        return false;
    if (location.group.isEmpty())
        return true;
    settings.beginGroup(location.group);
    const bool hasContent = !settings.allKeys().isEmpty();
    settings.endGroup();
    return hasContent;
}

// The store's own message for the outcome of a write, worded like the system's messages.
QString StoreMessage(QSettings::Status status)
{
    switch (status) {
    case QSettings::NoError:
        return QStringLiteral("The operation completed successfully.\r\n");
    case QSettings::AccessError:
        return QStringLiteral("Access is denied: the settings file could not be written.\r\n");
    case QSettings::FormatError:
        return QStringLiteral("The settings file is damaged and could not be read.\r\n");
    }
    return QStringLiteral("Unknown settings error.\r\n");
}

QString UnableToCreate(int code)
{
    return QString::number(code) + QStringLiteral(" Unable to create (or find) key.");
}

// What a read of the store gives for valueName is value.
bool HoldsValue(QSettings& settings, const KeyLocation& location, const QString& valueName, const QString& value)
{
    settings.beginGroup(location.group);
    const QVariant stored = settings.value(valueName);
    settings.endGroup();
    return settings.status() == QSettings::NoError && stored.isValid() && stored.toString() == value;
}

// A full disk may let the settings file be cut short while the store reports success: only what a
// fresh read of the file gives back counts as written.
bool ValueReachedTheFile(const KeyLocation& location, const QString& valueName, const QString& value)
{
    return HoldsValue(*OpenKey(location), location, valueName, value);
}

QString UnableToWrite(QSettings::Status status)
{
    const int code = status == QSettings::FormatError ? InvalidData : WriteFault;
    const QString cause = status == QSettings::NoError
                              ? QStringLiteral("The value did not reach the settings file.\r\n")
                              : StoreMessage(status);
    return QString::number(code) + QStringLiteral(" Unable to write the value.  ") + cause;
}

QString WithoutTrailingControlCharacters(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() < 32)
        --end;
    text.truncate(end);
    return text;
}

} // namespace

QString WriteRegistryString(uint32_t root, const QString& keyPath, const QString& valueName, const QString& value)
{
    if (root != CurrentUserRoot)
        return UnableToCreate(InvalidHandle);
    const auto location = LocateKey(keyPath);
    if (!location)
        return UnableToCreate(BadPathName);
    if (valueName.isEmpty())
        return NameNotSpecified;
    const auto settings = OpenKey(*location);
    if (!settings->isWritable())
        return UnableToCreate(AccessDenied);
    const bool keyExists = KeyExists(*settings, *location);
    const QString status = keyExists ? QStringLiteral("0 Key already exists.") : QStringLiteral("0 New key created.");
    // The file is rewritten (a lock file, a new file, two syncs) only when its content changes.
    if (keyExists && HoldsValue(*settings, *location, valueName, value))
        return status + QStringLiteral("  ") + StoreMessage(QSettings::NoError);
    settings->beginGroup(location->group);
    settings->setValue(valueName, value);
    settings->endGroup();
    settings->sync();
    if (settings->status() != QSettings::NoError || !ValueReachedTheFile(*location, valueName, value))
        return UnableToWrite(settings->status());
    return status + QStringLiteral("  ") + StoreMessage(settings->status());
}

QString ReadRegistryString(uint32_t root, const QString& keyPath, const QString& valueName, QString& value,
                           int /*flag*/)
{
    value.clear();
    const auto location = root == CurrentUserRoot ? LocateKey(keyPath) : std::nullopt;
    if (!location)
        return KeyNotFound;
    const auto settings = OpenKey(*location);
    if (settings->status() != QSettings::NoError || !KeyExists(*settings, *location))
        return KeyNotFound;
    if (valueName.isEmpty())
        return NameNotSpecified;
    settings->beginGroup(location->group);
    const bool found = settings->contains(valueName);
    const QVariant stored = settings->value(valueName);
    settings->endGroup();
    if (!found)
        return NameNotFound;
    value = WithoutTrailingControlCharacters(stored.toString());
    if (value.isEmpty())
        return QStringLiteral("0 Empty value");
    return settings->status() == QSettings::NoError ? QStringLiteral("0 OK") : QStringLiteral("0 ???");
}

bool Succeeded(const QString& status)
{
    return status.startsWith(QLatin1Char('0'));
}

} // namespace SettingsStore
