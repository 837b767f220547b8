#pragma once
// Writing a file the user keeps: nothing appears until the whole content is on the disk, any
// failure (a short write, a full disk at flush time, a failed rename) is reported and leaves an
// earlier file whole, and a name is resolved only once.
//
// Two kinds of target. A name a sender chose (an attached file) is written relative to an opened
// descriptor of the chosen folder and never follows a link. A path the user typed or chose follows
// the user's own link to the file it points to, and the new content replaces that file; a link that
// another user planted in a shared folder is not followed (UserLinks.h).
//
// The new content is staged in a file without a name until it is complete (StagingFile.h), and a
// name that is to be kept stays kept at the very last step: a file that appears there meanwhile is
// never replaced.

#include <QByteArray>
#include <QString>

#include <functional>

namespace FileWrite {

enum class Existing {
    Keep,   // an existing file (or link, or anything else) of that name is left alone
    Replace // an existing file of that name is replaced as a whole
};

// What a new file's mode is. A replaced file keeps its mode only when it is the user's own: the
// mode another user gave a file says nothing about who may read the user's content.
enum class NewFile {
    UserDefault, // what the umask leaves of 0666, as any program's new file
    Private      // readable and writable by the owner only (plain text)
};

// For tests: what happens at the moment a complete file is about to take its name.
struct TestHooks {
    bool namedStagingOnly = false;       // stage as on a file system without nameless files
    std::function<void()> beforePlacing; // called with the content written and synced, not yet named
};

struct Options {
    Existing existing = Existing::Keep;
    NewFile newFile = NewFile::UserDefault;
    QByteArray extra; // written after the data, so a header and a body need not be joined first
    int language = 0; // of the causes that are program texts (a refused link, another user's file)
    TestHooks hooks;
};

struct Result {
    QString error;          // "" on success, else a short English cause ("Disk full.", ...)
    bool nameTaken = false; // Existing::Keep found the name taken; nothing was written
    bool ok() const { return error.isEmpty() && !nameTaken; }
};

// Writes data as the file `name` (one name component) in folder. The new file is staged beside it
// without a name, written, synced and then named: with Existing::Keep only while the name is free
// (else nameTaken, nothing written), with Replace in one step over whatever is there. Every step is
// checked; on any failure nothing new is left and the cause is returned. An empty data makes an
// empty file. A folder the user may not write in but a file there the user may write
// (Existing::Replace): that file is overwritten in place (InPlaceWrite.h). A link at `name` is
// never followed: Replace replaces the link itself. Staging files a killed run left in the folder
// are removed first.
Result WriteIntoFolder(const QString& folder, const QString& name, const QByteArray& data, const Options& options);

// Writes data to the file at path. A link at path (or a chain of them) is followed to the file it
// ends at, which is then written as by WriteIntoFolder; a link in a shared folder that belongs to
// another user is refused, the cause naming it. Anything there but a regular file or nothing is
// refused ("Is a folder.", "Not a regular file.").
Result WriteUserFile(const QString& path, const QByteArray& data, const Options& options);

// Writes all of data at the descriptor's current offset, going on after interrupted or short
// writes. False with errno set when a write fails (EIO when the system takes nothing).
bool WriteAll(int fd, const QByteArray& data);

// The path a user's link at path ends at (path itself when it is no link); "" when the chain is
// broken by an unreadable link, runs in a circle or passes a link that is not followed (UserLinks.h).
QString FollowLinks(const QString& path);

// True when folder/name (not following a link there) is the very file at otherPath (both exist,
// same device and inode). For keeping the file being decrypted out of reach.
bool IsSameFile(const QString& folder, const QString& name, const QString& otherPath);

// True when folder/name is the file at otherPath, or would be once written: the same file (device
// and inode), or the very place the user's links at otherPath lead to.
bool IsSameTarget(const QString& folder, const QString& name, const QString& otherPath);

// True when anything at all (a file, a folder, a link, even a broken one) has this name in folder.
bool NameTaken(const QString& folder, const QString& name);

// The first free name of the form "stem (2).ext", "stem (3).ext", ... in folder; "" when none up to
// 999 is free or the name would grow over 255 bytes.
QString FreeName(const QString& folder, const QString& name);

} // namespace FileWrite
