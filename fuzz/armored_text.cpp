// The armored text form arrives in an e-mail body, quoted, rewrapped or tampered with. Finding and
// decoding the block must stay inside the text, and what it accepts survives a round trip.
#include "FuzzScratch.h"

#include "format/ArmoredText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Armor::Decoded decoded = Armor::Decode(fuzz::Bytes(data, size));
    if (decoded.found != Armor::Found::Ok) {
        FUZZ_EXPECT(decoded.ciphertextFile.isEmpty());
        return 0;
    }
    const Armor::Decoded again = Armor::Decode(Armor::Encode(decoded.ciphertextFile));
    FUZZ_EXPECT(again.found == Armor::Found::Ok && again.ciphertextFile == decoded.ciphertextFile);
    return 0;
}
