#pragma once
// Questions about the disk that holds the working folders.

#include <QString>
#include <QStringList>

namespace DiskProc {

// The folder under which working folders are made, without a trailing "/": $XDG_RUNTIME_DIR (a
// per-user memory file system) when it is set and is a private folder of this user (see
// IsPrivateFolder); else <temporary folder>/quillet-<uid>, made 0700 when missing and refused when
// it is a link or belongs to someone else. "" when neither can be had.
QString FirstFixedDrive();

// Every folder a run of this user may have made working folders in, whatever its environment:
// $XDG_RUNTIME_DIR when it is set and private, and <temporary folder>/quillet-<uid> when it exists
// (never made here). A run started without $XDG_RUNTIME_DIR (ssh, cron) works in the second.
QStringList WorkingFolderBases();

// <temporary folder>/quillet-<uid>, where the working folders go when $XDG_RUNTIME_DIR cannot hold
// them; whether it is there or usable is not asked.
QString PrivateTemporaryFolderPath();

// True for a real folder (not a link) owned by this user that neither group nor others may write to.
bool IsPrivateFolder(const QString& path);

// 0 when `folder` is a folder in which this user may make files; else the errno value that says why
// not (ENOENT, ENOTDIR, EACCES, EROFS, …), for telling the user why no working folder could be made.
int WhyNoFilesIn(const QString& folder);

// The file system's block size (512 … 65536) holding path `drive`, with freeBytes set to the space
// free for the user. -1 when the query fails; -2 when the block size is outside that range.
// freeBytes is -1 unless a size is returned.
int DiskClusterSize(const QString& drive, double& freeBytes);

} // namespace DiskProc
