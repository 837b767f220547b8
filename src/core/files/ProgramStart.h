#pragma once
// What both programs do first, before a key or a message is in memory.

namespace ProgramStart {

// The process can no longer dump core: not dumpable (which also keeps other processes of the same
// user from attaching to it or reading its memory) and a core size limit of 0, soft and hard, so
// no child can raise it again. True when both hold.
bool ForbidCoreDumps();

// ForbidCoreDumps; signals shred the runs' temporaries (InterruptCleanup); the working folders that
// killed runs of this user left under the default base are shredded (RemoveLeftBehindFolders).
// False when the process could not be made non-dumpable; everything else is done regardless.
bool SecureStart();

} // namespace ProgramStart
