// The text-file test judges any file the user picks before it is loaded into the text box. The
// last bytes of the input choose the extension and the limits; the rest is the file.
#include "FuzzScratch.h"

#include "files/IsTextFileFns.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    static const std::array<QString, 4> names = {QStringLiteral("t.txt"), QStringLiteral("t.xml"),
                                                 QStringLiteral("t.html"), QStringLiteral("t.bin")};
    const QString& name = names[input.ConsumeIntegralInRange<size_t>(0, names.size() - 1)];
    const bool allowCharsetSearch = input.ConsumeBool();
    const qint32 mostBytes = input.ConsumeIntegralInRange<qint32>(-1, 100000);
    const double toleratedPercent = input.ConsumeIntegralInRange<int>(0, 100) / 10.0;
    const std::vector<uint8_t> content = input.ConsumeRemainingBytes<uint8_t>();
    const QString path = fuzz::WriteScratchFile(name, content.data(), content.size());

    uchar firstBad = 0;
    qint32 firstBadPos = -1;
    double percentFound = -1;
    bool isUtf8 = false;
    const qint16 code =
        IsTextFile(path, mostBytes, firstBad, firstBadPos, toleratedPercent, percentFound, isUtf8, allowCharsetSearch);
    FUZZ_EXPECT(code >= TextFileCode::NoPath && code <= TextFileCode::WideUnicode);
    FUZZ_EXPECT(firstBadPos >= 0 && firstBadPos <= static_cast<qint64>(content.size()));
    FUZZ_EXPECT((firstBadPos == 0) == (firstBad == ' '));
    FUZZ_EXPECT(percentFound >= 0.0 && percentFound <= 100.0);
    return 0;
}
