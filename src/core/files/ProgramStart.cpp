#include "files/ProgramStart.h"

#include "files/InterruptCleanup.h"
#include "files/WorkingFolders.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace ProgramStart {

bool ForbidCoreDumps()
{
    const bool notDumpable = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    const struct rlimit noCore {
        0, 0
    };
    const bool noCoreSize = setrlimit(RLIMIT_CORE, &noCore) == 0;
    return notDumpable && noCoreSize;
}

bool SecureStart()
{
    const bool protectedMemory = ForbidCoreDumps();
    InterruptCleanup::Install();
    RemoveLeftBehindFolders();
    return protectedMemory;
}

} // namespace ProgramStart
