#pragma once
// A secret handed over in an environment variable (the command line's QUILLET_KEY). Both programs
// take it out of their environment first thing, before a thread or a child process is started:
// a child (the browser the window's Help opens, for one) inherits the environment, and
// /proc/<pid>/environ shows the memory the process received its variables in to every process of
// the same user.

#include <QByteArray>

namespace EnvironmentSecret {

struct Taken {
    bool found = false;
    QByteArray value; // the first entry's value; the caller wipes it after use
};

// Removes every entry of the variable from the environment and overwrites each whole entry (name,
// "=" and value) with zero bytes where the process received it, so neither the value nor its
// length stands there behind the variable's name any more.
Taken Take(const char* name);

} // namespace EnvironmentSecret
