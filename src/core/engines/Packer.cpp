#include "engines/Packer.h"

#include "engines/AtomicOutput.h"
#include "engines/GuardedBuffer.h"
#include "engines/StopFlag.h"

// ZSTD_getFrameHeader: the frame header is read before any decoding.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>

#include <memory>

namespace {

using namespace packer_result;
static_assert(kInputUnreadable == -1 && kOutputUnwritable == -2, "the codes run_file_to_file returns");

// Chosen by bench/engines.cpp (docs/PERFORMANCE.md): the package is often incompressible
// (random filler, compressed attachments), where higher levels only cost time.
constexpr int kCompressionLevel = 3;
// Frames needing a larger window than 8 MiB are refused instead of allocated: no package needs one.
constexpr int kMaxWindowLog = 23;
constexpr unsigned long long kMaxWindowBytes = 1ULL << kMaxWindowLog;

} // namespace

// The contexts and the I/O buffers, one set per packer, reused by each of its calls. The buffers
// hold plain text, so they live in guarded memory and are wiped when freed.
struct PackerContexts {
    ZSTD_CCtx* compressor = nullptr;
    ZSTD_DCtx* decompressor = nullptr;
    GuardedBuffer input{ZSTD_CStreamInSize()};
    GuardedBuffer output{ZSTD_CStreamOutSize()};
    ~PackerContexts()
    {
        ZSTD_freeCCtx(compressor);
        ZSTD_freeDCtx(decompressor);
    }
    bool valid() const { return compressor && decompressor && input.valid() && output.valid(); }
};

namespace {

using Contexts = PackerContexts;

bool write_all(QIODevice& out, const void* data, std::size_t size)
{
    return out.write(static_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size);
}

// Feeds `input` to the compressor until it is consumed (and, for ZSTD_e_end, the frame closed).
int32_t compress_step(Contexts& p, ZSTD_inBuffer& input, ZSTD_EndDirective mode, QIODevice& out)
{
    for (;;) {
        ZSTD_outBuffer output{p.output.data(), p.output.size(), 0};
        const std::size_t remaining = ZSTD_compressStream2(p.compressor, &output, &input, mode);
        if (ZSTD_isError(remaining))
            return kCompressFailed;
        if (!write_all(out, output.dst, output.pos))
            return kOutputUnwritable;
        const bool done = mode == ZSTD_e_end ? remaining == 0 : input.pos == input.size;
        if (done)
            return kOk;
    }
}

int32_t compress(Contexts& p, const StopFlag* stop, QIODevice& in, QIODevice& out)
{
    ZSTD_CCtx_reset(p.compressor, ZSTD_reset_session_and_parameters);
    ZSTD_CCtx_setParameter(p.compressor, ZSTD_c_compressionLevel, kCompressionLevel);
    // The frame checksum lets dcf refuse a damaged frame instead of handing on altered bytes.
    ZSTD_CCtx_setParameter(p.compressor, ZSTD_c_checksumFlag, 1);
    // A known size lets zstd fit its window to the input and records the size in the frame.
    ZSTD_CCtx_setPledgedSrcSize(p.compressor, static_cast<unsigned long long>(in.size()));
    for (;;) {
        if (StopRequested(stop))
            return kStopped;
        const qint64 got = in.read(reinterpret_cast<char*>(p.input.data()), static_cast<qint64>(p.input.size()));
        if (got < 0)
            return kInputUnreadable;
        ZSTD_inBuffer input{p.input.data(), static_cast<std::size_t>(got), 0};
        const int32_t result = compress_step(p, input, got == 0 ? ZSTD_e_end : ZSTD_e_continue, out);
        if (result != kOk || got == 0)
            return result;
    }
}

// Decodes one block of input; frameDone turns true once the frame is complete.
int32_t decompress_step(Contexts& p, ZSTD_inBuffer& input, bool& frameDone, int64_t& written, QIODevice& out)
{
    ZSTD_outBuffer output{nullptr, 0, 0};
    do {
        if (frameDone)
            return kTrailingData;
        output = {p.output.data(), p.output.size(), 0};
        const std::size_t hint = ZSTD_decompressStream(p.decompressor, &output, &input);
        if (ZSTD_isError(hint))
            return kDamagedFrame;
        written += static_cast<int64_t>(output.pos);
        if (written > kDecompressedBound)
            return kTooLarge;
        if (!write_all(out, output.dst, output.pos))
            return kOutputUnwritable;
        frameDone = hint == 0;
    } while (input.pos < input.size || (output.pos == output.size && !frameDone));
    return kOk;
}

// The frame's own header, judged before any decoding: the decoder skips its window limit when the
// declared content fits the output, so a frame declaring a window of 128 MiB or 2 GiB over a little
// content would pass it. One ordinary frame with a window of at most 8 MiB is accepted.
bool frame_header_acceptable(const void* start, std::size_t size)
{
    ZSTD_frameHeader header{};
    if (ZSTD_getFrameHeader(&header, start, size) != 0)
        return false; // not a frame, or cut short inside its header
    return header.frameType == ZSTD_frame && header.windowSize <= kMaxWindowBytes;
}

int32_t decompress(Contexts& p, const StopFlag* stop, QIODevice& in, QIODevice& out)
{
    ZSTD_DCtx_reset(p.decompressor, ZSTD_reset_session_and_parameters);
    ZSTD_DCtx_setParameter(p.decompressor, ZSTD_d_windowLogMax, kMaxWindowLog);
    bool frameDone = false;
    bool headerChecked = false;
    int64_t written = 0;
    for (;;) {
        if (StopRequested(stop))
            return kStopped;
        const qint64 got = in.read(reinterpret_cast<char*>(p.input.data()), static_cast<qint64>(p.input.size()));
        if (got < 0)
            return kInputUnreadable;
        if (got == 0)
            return frameDone ? kOk : kDamagedFrame; // an empty input or a frame cut short
        // The first read holds the whole header unless the file is shorter than one.
        if (!headerChecked && !frame_header_acceptable(p.input.data(), static_cast<std::size_t>(got)))
            return kDamagedFrame;
        headerChecked = true;
        ZSTD_inBuffer input{p.input.data(), static_cast<std::size_t>(got), 0};
        if (const int32_t result = decompress_step(p, input, frameDone, written, out); result != kOk)
            return result;
    }
}

using Operation = int32_t (*)(Contexts&, const StopFlag*, QIODevice&, QIODevice&);

int32_t run_on_files(Contexts* contexts, const StopFlag* stop, const char* in, const char* out, Operation operation)
{
    if (!contexts)
        return kNotReady;
    return run_file_to_file(
        in, out, [&](QIODevice& input, QIODevice& output) { return operation(*contexts, stop, input, output); });
}

} // namespace

Packer::Packer(const StopFlag* stop) : stop_(stop) {}

Packer::~Packer() = default;

int32_t Packer::alb()
{
    if (contexts_)
        return 1;
    auto created = std::make_unique<Contexts>();
    created->compressor = ZSTD_createCCtx();
    created->decompressor = ZSTD_createDCtx();
    if (!created->valid())
        return 0;
    contexts_ = std::move(created);
    return 1;
}

int32_t Packer::cf(const char* in, const char* out, int32_t /*flag*/)
{
    return run_on_files(contexts_.get(), stop_, in, out, compress);
}

int32_t Packer::dcf(const char* in, const char* out, int32_t /*flag*/)
{
    return run_on_files(contexts_.get(), stop_, in, out, decompress);
}

void Packer::dalb()
{
    contexts_.reset();
}
