// A key handed over in the environment leaves it at start: neither a started program nor another
// process reading /proc/<pid>/environ finds it, nor the length it had.
#include "files/EnvironmentSecret.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// What /usr/bin/env prints when this process starts it; "" when it cannot be run.
std::string EnvironmentOfAStartedProgram()
{
    int out[2];
    if (pipe(out) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        char* const arguments[] = {const_cast<char*>("env"), nullptr};
        execve("/usr/bin/env", arguments, environ);
        _exit(127);
    }
    close(out[1]);
    std::string printed;
    char buffer[4096];
    pollfd ready{out[0], POLLIN, 0};
    while (poll(&ready, 1, 10000) == 1) {
        const ssize_t got = read(out[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        printed.append(buffer, static_cast<size_t>(got));
    }
    close(out[0]);
    waitpid(child, nullptr, 0);
    return printed;
}

} // namespace

// Every entry of the name goes, each overwritten whole where the process holds it; the first
// value is handed back, and a program started afterwards sees none of it.
TEST(EnvironmentSecret, TheVariableLeavesTheEnvironmentAndItsMemoryWhole)
{
    const pid_t child = fork();
    if (child == 0) {
        // Entries in memory of the test's own, as the block a process receives its variables in;
        // a name may come twice.
        static char first[] = "QUILLET_TEST_SECRET=violets are blue";
        static char second[] = "QUILLET_TEST_SECRET=roses are red";
        static char neighbour[] = "QUILLET_TEST_SECRET_NOT=stays";
        static char* received[] = {neighbour, first, second, nullptr};
        environ = received;

        const EnvironmentSecret::Taken taken = EnvironmentSecret::Take("QUILLET_TEST_SECRET");
        int fault = 0;
        if (!taken.found || taken.value != "violets are blue")
            fault = 1;
        else if (getenv("QUILLET_TEST_SECRET") != nullptr)
            fault = 2;
        else if (std::string(first, sizeof first - 1).find_first_not_of('\0') != std::string::npos ||
                 std::string(second, sizeof second - 1).find_first_not_of('\0') != std::string::npos)
            fault = 3; // name, "=" and value all zero: nothing tells what stood there
        else if (std::strcmp(getenv("QUILLET_TEST_SECRET_NOT"), "stays") != 0)
            fault = 4;
        else if (const std::string seen = EnvironmentOfAStartedProgram();
                 seen.find("QUILLET_TEST_SECRET_NOT=stays") == std::string::npos ||
                 seen.find("QUILLET_TEST_SECRET=") != std::string::npos || seen.find("violets") != std::string::npos)
            fault = 5;
        _exit(fault);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: value, 2: still set, 3: memory not wiped whole, 4: neighbour "
                                         "changed, 5: a started program sees it";
}

TEST(EnvironmentSecret, AnAbsentVariableIsReportedAsSuch)
{
    const EnvironmentSecret::Taken taken = EnvironmentSecret::Take("QUILLET_TEST_NEVER_SET");
    EXPECT_FALSE(taken.found);
    EXPECT_TRUE(taken.value.isEmpty());
}
