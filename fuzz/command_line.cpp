// quillet-cli's arguments: the input is split at NUL bytes into arguments. Every command line is
// either accepted or refused with a reason, never both and never neither.
#include "FuzzScratch.h"

#include "cli/CliOptions.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList arguments;
    for (const QByteArray& argument : fuzz::Bytes(data, size).split('\0'))
        arguments << QString::fromUtf8(argument);
    if (size == 0)
        arguments.clear();
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    FUZZ_EXPECT(parsed.ok == parsed.error.isEmpty());
    return 0;
}
