#pragma once
// The per-user settings store: a root, a key path of the form
// "Software\<maker>\<product>[\<sub key>...]" and a value name. The key path names a settings file
// of QSettings (~/.config/<maker>/<product>.conf, or under $XDG_CONFIG_HOME): organization = the
// maker, application = the product, further parts = groups inside the file. Both routines return
// a status text whose first character tells the outcome ("0" success), so the caller can show or
// log it without knowing how the settings are kept.

#include <QString>

#include <cstdint>

namespace SettingsStore {

// The current user's settings, the only root there is: any other root is refused.
constexpr uint32_t CurrentUserRoot = 0x80000001;

// Writes value as valueName under keyPath, creating the key when needed. Status: "0 New key
// created." or "0 Key already exists.", two spaces and the store's own message ("The operation
// completed successfully." and a line break on success); "<code> Unable to create (or find) key."
// when nothing could be written; "<code> Unable to write the value.  <cause>" when the value did not
// reach the settings file (a full disk, a damaged file: read back, it is not there); "2 Name not
// specified." for an empty valueName.
QString WriteRegistryString(uint32_t root, const QString& keyPath, const QString& valueName, const QString& value);

// Reads valueName under keyPath into value (trailing characters below code 32 removed; empty when
// nothing is read). Status: "0 OK", "0 Empty value", "1 Key not found or is empty.",
// "2 Name not specified." or "3 Name not found.". flag is not used.
QString ReadRegistryString(uint32_t root, const QString& keyPath, const QString& valueName, QString& value,
                           int flag = 0);

// True for a status that tells success: the only place its leading digit is read.
bool Succeeded(const QString& status);

} // namespace SettingsStore
