#pragma once
// Following the links of a path the user typed or chose. The program resolves the last component
// itself (to write beside the file a link points to), so the kernel's protection of shared folders
// would never apply; it is applied here: a link in a sticky folder that everybody may write in is
// followed only when it belongs to the user or to the folder's owner, as the kernel's
// protected_symlinks rule says. Anyone else could point such a link at any of the user's files.

#include <QString>

namespace UserLinks {

// Program text that refuses a foreign link; the link's path follows it.
inline constexpr int kRefusalText = 490;

struct Followed {
    QString path;        // where the chain ends ("" when refused or broken)
    QString refusedLink; // the link not followed, when that is why path is ""
    bool ok() const { return !path.isEmpty(); }
};

// Follows a chain of links at path to its end (path itself when it is no link). Broken (an
// unreadable link, a circle): path "" and refusedLink "". Refused: path "" and refusedLink the link.
Followed Follow(const QString& path);

// True when the link at linkPath, in its folder, is one the kernel would not follow for a process
// of this user: the folder is sticky and writable by everybody, and the link belongs to someone other
// than this user and the folder's owner.
bool IsForeignLinkInSharedFolder(const QString& linkPath);

// Why a write did not follow the link at linkPath, naming it (a program text in language).
QString RefusalText(const QString& linkPath, int language);

} // namespace UserLinks
