// The program-text file is read at every start; a damaged or hostile zeb.dat must be refused with
// a code, never crash the program, and a refused file leaves the table as it was.
#include "FuzzScratch.h"

#include "engines/ProgramTextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::WriteScratchFile(QStringLiteral("zeb.dat"), data, size);
    ProgramTextFile::Table table;
    const uint32_t untouchedKey = ProgramTextFile::TextKey(1, ProgramTextFile::EnglishIndex);
    table.texts.insert(untouchedKey, QStringLiteral("before"));
    const int32_t result = ProgramTextFile::Read(path, table);
    if (result > 0) {
        FUZZ_EXPECT(table.texts.size() == result);
        for (const QString& text : std::as_const(table.texts))
            FUZZ_EXPECT(text.size() <= ProgramTextFile::MaxTextLength);
    } else {
        FUZZ_EXPECT(table.texts.size() == 1 && table.texts.value(untouchedKey) == QLatin1String("before"));
    }
    return 0;
}
