// The plain package comes out of a decryption, so its fields are what a sender wrote; the parser
// must never read past the package, and whatever it accepts must be exactly what was sent.
#include "FuzzScratch.h"

#include "format/PlainPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray package = fuzz::Bytes(data, size);
    const PlainPackageContent content = ParsePlainPackage(package);
    if (content.status != PackageStatus::Ok) {
        FUZZ_EXPECT(content.message.isEmpty() && content.name.isEmpty() && content.data.isEmpty());
        return 0;
    }
    // The fields rebuild the package byte for byte: nothing is skipped, added or reinterpreted.
    const QByteArray rebuilt =
        BuildPlainPackage(content.message.toByteArray(), content.name.toByteArray(), content.data.toByteArray());
    FUZZ_EXPECT(rebuilt.chopped(CheckValueLength) == package.chopped(CheckValueLength));
    FUZZ_EXPECT((rebuilt == package) == content.checkValueMatches);
    return 0;
}
