#pragma once
// What an interrupted run leaves: nothing. Both programs install this at start; from then on
// SIGINT, SIGTERM and SIGHUP shred the working folders and temporary files of the runs under way
// before the process ends with the signal as it would have without this.
//
// The handler itself only writes the signal's number into a pipe (nothing else is safe inside a
// handler); a thread that waits on the pipe does the shredding. The thread works even while the
// window's thread or the command line is busy inside the key derivation.

#include <QString>

#include <termios.h>

namespace InterruptCleanup {

// Installs the handlers and starts the waiting thread; once per process. False when the pipe or the
// thread cannot be made (the handlers are then left as they were).
bool Install();

// A working folder or a temporary file to shred if a signal comes; Forget when the run has dealt
// with it. Both are cheap and may be called whether Install ran or not.
void Watch(const QString& path);
void Forget(const QString& path);

// A terminal whose settings (saved: as they were before the program changed them, e.g. echo turned
// off for a key prompt) a signal puts back before the process ends; ForgetTerminal once the program
// has put them back itself. Call WatchTerminal before changing the settings.
void WatchTerminal(int fd, const termios& saved);
void ForgetTerminal(int fd);

} // namespace InterruptCleanup
