#include "files/UserLinks.h"

#include "texts/Language.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace UserLinks {

namespace {

constexpr int kMostLinks = 40; // as the system's own limit on links followed in one path

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

} // namespace

bool IsForeignLinkInSharedFolder(const QString& linkPath)
{
    struct stat link {};
    struct stat folder {};
    if (::lstat(Native(linkPath).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return false;
    if (::stat(Native(QFileInfo(linkPath).path()).constData(), &folder) != 0)
        return true; // a folder that cannot be looked at cannot be vouched for
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

QString RefusalText(const QString& linkPath, int language)
{
    return Language::GetProgramText(kRefusalText, language) + ' ' + QDir::toNativeSeparators(linkPath);
}

Followed Follow(const QString& path)
{
    QString current = path;
    for (int hop = 0; hop <= kMostLinks; ++hop) {
        const QByteArray native = Native(current);
        struct stat status {};
        if (::lstat(native.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return {current, {}};
        if (IsForeignLinkInSharedFolder(current))
            return {{}, current};
        QByteArray target(static_cast<qsizetype>(status.st_size > 0 ? status.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(native.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length <= 0 || length >= target.size())
            return {};
        target.truncate(length);
        current = QDir(QFileInfo(current).path()).filePath(QFile::decodeName(target));
    }
    return {};
}

} // namespace UserLinks
