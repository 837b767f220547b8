// Benchmarks of the cipher engine and the packer: key derivation per level, the engine's stream
// encryption next to libsodium's bare secretstream over the same bytes, and zstd levels on the
// kinds of package the program makes. Figures and the choices drawn from them: docs/PERFORMANCE.md.
#include "engines/CipherBody.h"

#include <QBuffer>
#include <benchmark/benchmark.h>
#include <sodium.h>
#include <zstd.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace body = cipher_body;

namespace {

const char* const kKey = "Ab3dEf6hIj9lMn2pQr5tUv8xYz1bCd4fGh7jKl0nOp3rSt6vWx9zAb2dEf5hIj8l";
constexpr std::size_t kPayloadBytes = 2 * 1024 * 1024; // about the largest package

QByteArray random_bytes(std::size_t size)
{
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    randombytes_buf(bytes.data(), size);
    return bytes;
}

// Words drawn from a small vocabulary: compresses like prose, not like one repeated line.
QByteArray prose(std::size_t size)
{
    static const char* const words[] = {"the",     "message", "report", "figures",  "attached", "please",  "keep",
                                        "private", "meeting", "Monday", "budget",   "and",      "of",      "to",
                                        "we",      "will",    "send",   "contract", "review",   "signed",  "draft",
                                        "with",    "for",     "our",    "client",   "numbers",  "quarter", "final"};
    std::mt19937 generator(42);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(words) - 1);
    QByteArray text;
    text.reserve(static_cast<qsizetype>(size + 16));
    for (int n = 1; static_cast<std::size_t>(text.size()) < size; ++n) {
        text += words[pick(generator)];
        text += n % 12 == 0 ? ".\n" : " ";
    }
    text.truncate(static_cast<qsizetype>(size));
    return text;
}

// The package without an attachment: a short message and 20,000 to 50,000 filler bytes of 1..254.
QByteArray filler_package()
{
    QByteArray package = prose(2'000);
    for (int i = 0; i < 35'000; ++i)
        package += static_cast<char>(1 + randombytes_uniform(254));
    return package;
}

void BM_KeyDerivation(benchmark::State& state)
{
    const auto level = static_cast<KdfLevel>(state.range(0));
    body::BodyHeader header;
    header.kdf = body::kdf_params(level);
    randombytes_buf(header.salt.data(), header.salt.size());
    body::BodyKeys keys;
    for (auto _ : state) {
        if (body::derive_keys(kKey, header, keys) != cipher_result::kOk)
            state.SkipWithError("derivation failed");
    }
    state.SetLabel(level == KdfLevel::Interactive ? "interactive"
                   : level == KdfLevel::Moderate  ? "moderate"
                                                  : "sensitive");
}
BENCHMARK(BM_KeyDerivation)
    ->Arg(static_cast<int>(KdfLevel::Interactive))
    ->Arg(static_cast<int>(KdfLevel::Moderate))
    ->Arg(static_cast<int>(KdfLevel::Sensitive))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Keys derived once: the stream part alone.
body::KeyDeriver fixed_keys()
{
    return [](const body::BodyHeader&, body::BodyKeys& keys) {
        std::memset(keys.data(), 0x5A, body::BodyKeys::kBytes);
        return cipher_result::kOk;
    };
}

// Runs one body operation from input into output, both in memory.
int32_t through_buffers(const QByteArray& input, QByteArray& output,
                        const std::function<int32_t(QIODevice&, QIODevice&)>& operation)
{
    output.clear();
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QBuffer out(&output);
    out.open(QIODevice::WriteOnly);
    return operation(in, out);
}

int32_t encrypt_in_memory(const QByteArray& plain, QByteArray& sealed, body::ChunkBuffers& buffers)
{
    return through_buffers(plain, sealed, [&](QIODevice& in, QIODevice& out) {
        return body::encrypt_body(in, out, body::kdf_params(KdfLevel::Interactive), fixed_keys(), buffers);
    });
}

void BM_EngineEncrypt(benchmark::State& state)
{
    const QByteArray plain = random_bytes(kPayloadBytes);
    body::ChunkBuffers buffers;
    QByteArray sealed;
    sealed.reserve(plain.size() + 4096);
    for (auto _ : state) {
        if (encrypt_in_memory(plain, sealed, buffers) != 0)
            state.SkipWithError("encryption failed");
        benchmark::DoNotOptimize(sealed.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * plain.size());
}
BENCHMARK(BM_EngineEncrypt)->Unit(benchmark::kMillisecond);

void BM_EngineDecrypt(benchmark::State& state)
{
    body::ChunkBuffers buffers;
    QByteArray sealed;
    encrypt_in_memory(random_bytes(kPayloadBytes), sealed, buffers);
    QByteArray plain;
    plain.reserve(sealed.size());
    for (auto _ : state) {
        const int32_t result = through_buffers(sealed, plain, [&](QIODevice& in, QIODevice& out) {
            return body::decrypt_body(in, out, fixed_keys(), buffers);
        });
        if (result != 0)
            state.SkipWithError("decryption failed");
        benchmark::DoNotOptimize(plain.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPayloadBytes));
}
BENCHMARK(BM_EngineDecrypt)->Unit(benchmark::kMillisecond);

// The peer: libsodium's secretstream alone, memory to memory, at a given chunk size.
void BM_RawSecretstreamPush(benchmark::State& state)
{
    const std::size_t chunk = static_cast<std::size_t>(state.range(0));
    const QByteArray plain = random_bytes(kPayloadBytes);
    std::vector<unsigned char> sealed(plain.size() + (plain.size() / chunk + 1) * body::kChunkOverhead);
    unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
    crypto_secretstream_xchacha20poly1305_keygen(key);
    for (auto _ : state) {
        crypto_secretstream_xchacha20poly1305_state stream;
        unsigned char header[crypto_secretstream_xchacha20poly1305_HEADERBYTES];
        crypto_secretstream_xchacha20poly1305_init_push(&stream, header, key);
        std::size_t in = 0;
        std::size_t out = 0;
        for (;;) {
            const std::size_t take = std::min(chunk, static_cast<std::size_t>(plain.size()) - in);
            const bool last = take < chunk;
            unsigned long long written = 0;
            crypto_secretstream_xchacha20poly1305_push(&stream, sealed.data() + out, &written,
                                                       reinterpret_cast<const unsigned char*>(plain.data()) + in, take,
                                                       nullptr, 0,
                                                       last ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                                            : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
            in += take;
            out += written;
            if (last)
                break;
        }
        benchmark::DoNotOptimize(sealed.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * plain.size());
}
BENCHMARK(BM_RawSecretstreamPush)->RangeMultiplier(4)->Range(4 * 1024, 1024 * 1024)->Unit(benchmark::kMillisecond);

void BM_RawSecretstreamPull(benchmark::State& state)
{
    const std::size_t chunk = static_cast<std::size_t>(state.range(0));
    const QByteArray plain = random_bytes(kPayloadBytes);
    unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
    crypto_secretstream_xchacha20poly1305_keygen(key);
    unsigned char header[crypto_secretstream_xchacha20poly1305_HEADERBYTES];
    std::vector<unsigned char> sealed;
    {
        crypto_secretstream_xchacha20poly1305_state stream;
        crypto_secretstream_xchacha20poly1305_init_push(&stream, header, key);
        std::vector<unsigned char> piece(chunk + body::kChunkOverhead);
        for (std::size_t in = 0;;) {
            const std::size_t take = std::min(chunk, static_cast<std::size_t>(plain.size()) - in);
            unsigned long long written = 0;
            crypto_secretstream_xchacha20poly1305_push(&stream, piece.data(), &written,
                                                       reinterpret_cast<const unsigned char*>(plain.data()) + in, take,
                                                       nullptr, 0, 0);
            sealed.insert(sealed.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(written));
            in += take;
            if (take < chunk)
                break;
        }
    }
    std::vector<unsigned char> opened(plain.size() + chunk);
    for (auto _ : state) {
        crypto_secretstream_xchacha20poly1305_state stream;
        crypto_secretstream_xchacha20poly1305_init_pull(&stream, header, key);
        std::size_t in = 0;
        std::size_t out = 0;
        while (in < sealed.size()) {
            const std::size_t take = std::min(chunk + body::kChunkOverhead, sealed.size() - in);
            unsigned long long written = 0;
            unsigned char tag = 0;
            if (crypto_secretstream_xchacha20poly1305_pull(&stream, opened.data() + out, &written, &tag,
                                                           sealed.data() + in, take, nullptr, 0) != 0) {
                state.SkipWithError("pull failed");
                break;
            }
            in += take;
            out += written;
        }
        benchmark::DoNotOptimize(opened.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * plain.size());
}
BENCHMARK(BM_RawSecretstreamPull)->RangeMultiplier(4)->Range(4 * 1024, 1024 * 1024)->Unit(benchmark::kMillisecond);

enum class Content { Prose, Random, FillerPackage };

QByteArray content(Content kind)
{
    switch (kind) {
    case Content::Prose:
        return prose(kPayloadBytes);
    case Content::Random:
        return random_bytes(kPayloadBytes);
    case Content::FillerPackage:
        break;
    }
    return filler_package();
}

void BM_ZstdCompress(benchmark::State& state)
{
    const auto kind = static_cast<Content>(state.range(0));
    const int level = static_cast<int>(state.range(1));
    const QByteArray input = content(kind);
    std::vector<char> output(ZSTD_compressBound(static_cast<std::size_t>(input.size())));
    ZSTD_CCtx* context = ZSTD_createCCtx();
    std::size_t compressed = 0;
    for (auto _ : state) {
        ZSTD_CCtx_reset(context, ZSTD_reset_session_and_parameters);
        ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, level);
        ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
        compressed =
            ZSTD_compress2(context, output.data(), output.size(), input.data(), static_cast<std::size_t>(input.size()));
        if (ZSTD_isError(compressed))
            state.SkipWithError("compression failed");
    }
    ZSTD_freeCCtx(context);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
    state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(input.size());
    state.SetLabel(kind == Content::Prose ? "prose" : kind == Content::Random ? "random" : "filler package");
}
BENCHMARK(BM_ZstdCompress)
    ->ArgsProduct({{static_cast<int>(Content::Prose), static_cast<int>(Content::Random),
                    static_cast<int>(Content::FillerPackage)},
                   {1, 3, 6, 19}})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
