#pragma once
// Secure clean-up: overwriting files that held plain text, deleting files and folder trees.

#include <QString>

namespace Cleanup {

// Overwrites the file's content (toolkit overwrite_file: one pass of random bytes, flushed to the
// device; count is an upper bound). A read-only file (no owner write bit) is made writable only
// when allowReadOnly; otherwise false and its mode is kept. queryCluster passes the block size of
// its file system along. True when the content was overwritten. A symbolic link is never followed,
// and a file with more than one link (a hard link elsewhere shares its content) is not overwritten.
bool OverwriteFile(const QString& path, int count = 1000, bool allowReadOnly = true, bool queryCluster = false);

// Deletes the file (or a link itself); true when it is gone, also when it was not there.
// clearReadOnly makes a read-only file writable first; hidden and system have no meaning here.
bool DeleteFileForced(const QString& path, bool clearHidden = true, bool clearReadOnly = true, bool clearSystem = true);

// Overwrites, then deletes: the treatment of every temporary file that held plain text.
// True when the file is gone (also when it was never there).
bool ShredAndDelete(const QString& path);

// Deletes the folder with all its files and subfolders. Links inside are removed, never followed.
// Without force a read-only file or folder inside stops the deletion. True when the folder is gone;
// false with errorText naming the cause otherwise ("<path> does not exist." when it was not there).
bool DeleteFolderTree(const QString& path, QString& errorText, bool force);

// As DeleteFolderTree with force, but every regular file in the tree with one link is overwritten
// before it is deleted (a file linked elsewhere only loses its name here): the treatment of a
// working folder whose run could not clean up after itself.
bool ShredFolderTree(const QString& path, QString& errorText);

} // namespace Cleanup
