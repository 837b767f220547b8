#include "files/IoErrorText.h"

#include <cerrno>
#include <cstring>

namespace FileProc {

QString IoErrorText(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return QStringLiteral("No such file or folder.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Permission denied.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full.");
    case EISDIR:
        return QStringLiteral("Is a folder.");
    case ENOTDIR:
        return QStringLiteral("A part of the path is not a folder.");
    case EROFS:
        return QStringLiteral("The disk is read-only.");
    case EFBIG:
        return QStringLiteral("File too large.");
    case ENAMETOOLONG:
        return QStringLiteral("Name too long.");
    case ELOOP:
        return QStringLiteral("Is a symbolic link.");
    case EIO:
        return QStringLiteral("Input/output error.");
    case 0:
        return QStringLiteral("Unknown error.");
    default:
        return QString::fromLocal8Bit(std::strerror(errnoValue)) + QLatin1Char('.');
    }
}

} // namespace FileProc
