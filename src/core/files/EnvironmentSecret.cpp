#include "files/EnvironmentSecret.h"

#include <sodium.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include <vector>

namespace EnvironmentSecret {

Taken Take(const char* name)
{
    const size_t nameLength = std::strlen(name);
    Taken taken;
    std::vector<char*> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, name, nameLength) != 0 || (*entry)[nameLength] != '=')
            continue;
        if (!taken.found)
            taken.value = QByteArray(*entry + nameLength + 1); // the entry getenv would give
        taken.found = true;
        entries.push_back(*entry);
    }
    // Out of the list first (unsetenv finds the entries by their name), then wiped in place.
    unsetenv(name);
    for (char* entry : entries)
        sodium_memzero(entry, std::strlen(entry));
    return taken;
}

} // namespace EnvironmentSecret
