#pragma once
// The name of a file as it travels in the plain package.

#include <QString>

// The part of path after its last "/" or "\" (the whole path when it has neither), in lower case
// when lowerCase is true (accented capitals, "Š" and "Ÿ" included).
QString FileNameFromPath(const QString& path, bool lowerCase);
