#pragma once
// What both programs do first, before a key or a message is in memory.

namespace ProgramStart {

// The environment variable the command line takes a key from. Both programs remove it at start
// (EnvironmentSecret::Take); the window only so that nothing it starts inherits the key.
inline constexpr char KeyVariable[] = "QUILLET_KEY";

// The process can no longer dump core: not dumpable (which also keeps other processes of the same
// user from attaching to it or reading its memory) and a core size limit of 0, soft and hard, so
// no child can raise it again. True when both hold.
bool ForbidCoreDumps();

// ForbidCoreDumps; signals shred the runs' temporaries (InterruptCleanup); the working folders that
// killed runs of this user left in either place are shredded (RemoveLeftBehindFolders).
// False when the process could not be made non-dumpable; everything else is done regardless.
bool SecureStart();

} // namespace ProgramStart
