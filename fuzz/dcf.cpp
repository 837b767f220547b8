// dcf decompresses what the cipher engine handed out, which a sender with the key controls. It must
// refuse damaged, oversized and trailing input, and leave no output file when it refuses.
#include "FuzzScratch.h"

#include "engines/Packer.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Packer packer;
    static const bool ready = packer.alb() != 0;
    FUZZ_EXPECT(ready);
    const QString in = fuzz::WriteScratchFile(QStringLiteral("packed"), data, size);
    const QString out = fuzz::ScratchFolder() + QStringLiteral("/unpacked");
    const int32_t result = packer.dcf(in.toUtf8().constData(), out.toUtf8().constData(), 0);
    const QFileInfo output(out);
    if (result == packer_result::kOk) {
        FUZZ_EXPECT(output.exists() && output.size() <= kDecompressedBound);
        QFile::remove(out);
    } else {
        FUZZ_EXPECT(!output.exists());
        FUZZ_EXPECT(result >= packer_result::kCompressFailed && result < 0);
    }
    // Nothing else is left behind: no temporary beside the output, whatever the result.
    FUZZ_EXPECT(QDir(fuzz::ScratchFolder()).entryList(QDir::Files | QDir::Hidden) == QStringList{"packed"});
    return 0;
}
