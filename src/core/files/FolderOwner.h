#pragma once
// Which process a working folder belongs to. Every working folder holds a small file "owner" with
// the process id and the process's start time (the pair names one process even when the id is used
// again later), so a later start can tell a folder of a run that still goes on from one a killed run
// left behind.

#include <QString>

namespace FolderOwner {

// The name of the record inside a working folder.
inline constexpr char RecordName[] = "owner";

// Writes this process's record into the open folder folderFd (created exclusively, mode 0600).
bool Record(int folderFd);

enum class Owner {
    Running, // the recorded process still runs
    Gone,    // the recorded process has ended
    Unknown  // no readable record
};
// The state of the process recorded in the open folder folderFd.
Owner RecordedOwner(int folderFd);

} // namespace FolderOwner
