#pragma once
// Small path helpers that work on the text of a path alone, without touching the disk.

#include <QString>

// The characters after the last "." of the last path component ("" when there is none),
// in lower case when lowerCase is true. Both "/" and "\" separate components.
QString FileExtension(const QString& path, bool lowerCase);
