#include "format/FileName.h"

#include <algorithm>

QString FileNameFromPath(const QString& path, bool lowerCase)
{
    const qsizetype lastSeparator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(lastSeparator + 1);
    return lowerCase ? name.toLower() : name;
}
