#include "files/PathText.h"

QString FileExtension(const QString& path, bool lowerCase)
{
    const qsizetype separator = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString lastComponent = path.mid(separator + 1);
    const qsizetype dot = lastComponent.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QString extension = lastComponent.mid(dot + 1);
    return lowerCase ? extension.toLower() : extension;
}
