// The attached file's name is chosen by the sender. A name that passes the check is written as
// given inside the chosen folder, so it must be one plain, visible file-name component.
#include "FuzzScratch.h"

#include "format/AttachedFileName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray utf8Name = fuzz::Bytes(data, size);
    const QString name = SafeAttachedFileName(utf8Name);
    if (name.isEmpty())
        return 0;
    FUZZ_EXPECT(name.toUtf8() == utf8Name);
    FUZZ_EXPECT(utf8Name.size() <= MaxAttachedNameBytes);
    FUZZ_EXPECT(!name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')));
    FUZZ_EXPECT(name != QLatin1String(".") && name != QLatin1String(".."));
    for (const char32_t c : name.toUcs4())
        FUZZ_EXPECT(c >= 0x20 && c != 0x7F && !(c >= 0x202A && c <= 0x202E) && !(c >= 0x2066 && c <= 0x2069));
    return 0;
}
