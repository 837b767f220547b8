#pragma once
// The packer: compresses a file into one zstd frame and back. A small C-style interface that every
// caller shares: results are integers, never exceptions. Paths go in as NUL-terminated UTF-8.
// Neither cf nor dcf leaves an output file behind when it fails.

#include <cstdint>

#include <memory>

class StopFlag;
struct PackerContexts;

// The largest plain package there can be: message length field, message, name length field,
// file name, attached file, check value.
inline constexpr int64_t kLargestPackageBytes = 5 + 99'999 + 3 + 999 + 2'027'520 + 32;
// dcf refuses to write more than this: the largest package with a margin to spare.
inline constexpr int64_t kDecompressedBound = kLargestPackageBytes + 64 * 1024;

// Results of cf and dcf.
namespace packer_result {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kInputUnreadable = -1;
inline constexpr int32_t kOutputUnwritable = -2;
inline constexpr int32_t kDamagedFrame = -3; // not a zstd frame, damaged, or cut short
inline constexpr int32_t kTrailingData = -4; // bytes after the end of the frame
inline constexpr int32_t kTooLarge = -5;     // the output would exceed kDecompressedBound
inline constexpr int32_t kNotReady = -6;     // alb was not called or failed
inline constexpr int32_t kCompressFailed = -7;
inline constexpr int32_t kStopped = -8; // the run was asked to stop; no output is left
} // namespace packer_result

// One packer per run: its contexts, its buffers and the stop flag live here and nowhere else.
class Packer {
  public:
    // stop: the flag cf and dcf check between blocks (kStopped); nullptr: they run to the end. The
    // flag must outlive the packer.
    explicit Packer(const StopFlag* stop = nullptr);
    ~Packer();
    Packer(const Packer&) = delete;
    Packer& operator=(const Packer&) = delete;

    // Creates the compression and decompression contexts. Non-zero: ready; 0: failure.
    int32_t alb();

    // Compresses in into out. flag keeps the call's shape and is not used. 0 or a packer_result.
    int32_t cf(const char* in, const char* out, int32_t flag);

    // Decompresses the single frame in `in` into out. flag is not used. 0 or a packer_result.
    int32_t dcf(const char* in, const char* out, int32_t flag);

    // Frees the contexts (the destructor does it otherwise).
    void dalb();

  private:
    std::unique_ptr<PackerContexts> contexts_;
    const StopFlag* stop_;
};
