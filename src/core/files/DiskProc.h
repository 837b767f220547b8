#pragma once
// Questions about the disk that holds the working folders.

#include <QString>

namespace DiskProc {

// The folder under which working folders are made: $XDG_RUNTIME_DIR (a per-user memory file
// system) when it is set and is a writable folder, else the system temporary folder. No trailing "/".
QString FirstFixedDrive();

// The file system's block size (512 … 65536) holding path `drive`, with freeBytes set to the space
// free for the user. -1 when the query fails; -2 when the block size is outside that range.
// freeBytes is -1 unless a size is returned.
int DiskClusterSize(const QString& drive, double& freeBytes);

} // namespace DiskProc
