// The armored text form of the largest ciphertext file (about 2 MB, a block of 2.8 MB): writing the
// block, reading it as written, reading it quoted in a reply ("> " in front of every line) and
// re-wrapped with CR LF, and the size of the block without writing it.
#include "format/ArmoredText.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int FileBytes = 2 * 1024 * 1024;

// Bytes that look like a ciphertext: no pattern a decoder could profit from.
QByteArray CiphertextLike()
{
    QByteArray bytes(FileBytes, Qt::Uninitialized);
    quint64 state = 0x9E3779B97F4A7C15ull;
    for (char& byte : bytes) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        byte = static_cast<char>(state >> 56);
    }
    return bytes;
}

const QByteArray& File()
{
    static const QByteArray file = CiphertextLike();
    return file;
}

void Encode(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Armor::Encode(File()));
    state.SetBytesProcessed(state.iterations() * File().size());
}
BENCHMARK(Encode)->Unit(benchmark::kMillisecond);

void Decode(benchmark::State& state, const QByteArray& text)
{
    for (auto _ : state) {
        const Armor::Decoded decoded = Armor::Decode(text);
        if (decoded.found != Armor::Found::Ok || decoded.ciphertextFile.size() != File().size())
            state.SkipWithError("the block did not decode");
        benchmark::DoNotOptimize(decoded.ciphertextFile.constData());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void DecodeAsWritten(benchmark::State& state)
{
    Decode(state, Armor::Encode(File()));
}
BENCHMARK(DecodeAsWritten)->Unit(benchmark::kMillisecond);

void DecodeQuotedInAReply(benchmark::State& state)
{
    Decode(state, "> " + Armor::Encode(File()).replace("\n", "\r\n> "));
}
BENCHMARK(DecodeQuotedInAReply)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
