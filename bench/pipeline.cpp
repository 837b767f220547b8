// The whole encrypt pipeline on the largest input (a 99,999-byte message and a 2,027,520-byte file),
// next to its two peers measured in the same run: the key derivation alone, and zstd plus raw
// secretstream over the same package in memory. The pipeline's cost without the key derivation is
// the pipeline at a level minus the derivation at that level.
#include "app/Dialogs.h"
#include "crypto/EncryptPipeline.h"
#include "crypto/PlainPackage.h"
#include "engines/CipherEngine.h"
#include "engines/Digest.h"
#include "engines/toolkit.h"
#include "files/Cleanup.h"
#include "files/FileProc.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sodium.h>
#include <zstd.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int MessageBytes = 99999;
constexpr int FileBytes = 2027520;

// Text-like bytes (letters, spaces, line breaks in no order): compressible, but not trivially.
QByteArray TextLike(int size, quint32 seed)
{
    static const char letters[] = "etaoinshrdlucmfwypvbgkjqxz etaoin shrdlu\n";
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = letters[(seed >> 16) % (sizeof letters - 1)];
    }
    return bytes;
}

struct Inputs {
    QTemporaryDir dir;
    QString message = QString::fromLatin1(TextLike(MessageBytes, 7));
    QString filePath = dir.filePath(QStringLiteral("attachment.txt"));
    QByteArray fileBytes = TextLike(FileBytes, 11);

    Inputs()
    {
        QFile file(filePath);
        if (file.open(QIODevice::WriteOnly))
            file.write(fileBytes);
    }
};

Inputs& SharedInputs()
{
    static Inputs inputs;
    return inputs;
}

void BM_EncryptPipeline(benchmark::State& state)
{
    Inputs& inputs = SharedInputs();
    EncryptRequest request;
    request.message = inputs.message;
    request.fileToAppend = inputs.filePath;
    request.outputPath = inputs.dir.filePath(QStringLiteral("out.zip"));
    request.quickKey = QStringLiteral("Correct Horse Battery Staple 42");
    request.kdfLevel = static_cast<KdfLevel>(state.range(0));
    request.workingFolderBase = inputs.dir.path();
    for (auto _ : state) {
        ScriptedDialogs dialogs;
        const EncryptOutcome outcome = EncryptMessage(request, dialogs);
        if (!outcome.success)
            state.SkipWithError("the pipeline failed");
    }
    state.SetBytesProcessed(state.iterations() * (MessageBytes + FileBytes));
}
BENCHMARK(BM_EncryptPipeline)
    ->Arg(static_cast<int>(KdfLevel::Interactive))
    ->Arg(static_cast<int>(KdfLevel::Moderate))
    ->ArgName("kdf")
    ->Unit(benchmark::kMillisecond);

// Argon2id at the engine's parameters for the level: what the pipeline spends on the key alone.
void BM_KeyDerivation(benchmark::State& state)
{
    const bool interactive = state.range(0) == static_cast<int>(KdfLevel::Interactive);
    const unsigned long long ops =
        interactive ? crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE : crypto_pwhash_argon2id_OPSLIMIT_MODERATE;
    const size_t mem =
        interactive ? crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE : crypto_pwhash_argon2id_MEMLIMIT_MODERATE;
    const char key[] = "CORRECTHORSEBATTERYSTAPLE42CORRECTHORSEBATTERYSTAPLE42CORRECTHOR";
    unsigned char salt[crypto_pwhash_SALTBYTES] = {};
    unsigned char out[64];
    for (auto _ : state) {
        if (crypto_pwhash(out, sizeof out, key, sizeof key - 1, salt, ops, mem, crypto_pwhash_ALG_ARGON2ID13) != 0)
            state.SkipWithError("out of memory");
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_KeyDerivation)
    ->Arg(static_cast<int>(KdfLevel::Interactive))
    ->Arg(static_cast<int>(KdfLevel::Moderate))
    ->ArgName("kdf")
    ->Unit(benchmark::kMillisecond);

// The floor: the same package compressed at the packer's level and sealed by secretstream in
// 64 KiB chunks, all in memory, without files, MD5, filler or header.
void BM_ZstdPlusSecretstream(benchmark::State& state)
{
    Inputs& inputs = SharedInputs();
    const QByteArray package = BuildPlainPackage(inputs.message.toUtf8(), "attachment.txt", inputs.fileBytes);
    std::vector<char> packed(ZSTD_compressBound(package.size()));
    constexpr size_t Chunk = 64 * 1024;
    std::vector<unsigned char> sealed(Chunk + crypto_secretstream_xchacha20poly1305_ABYTES);
    if (sodium_init() < 0)
        state.SkipWithError("libsodium unavailable");
    unsigned char key[crypto_secretstream_xchacha20poly1305_KEYBYTES];
    crypto_secretstream_xchacha20poly1305_keygen(key);
    for (auto _ : state) {
        const size_t packedSize = ZSTD_compress(packed.data(), packed.size(), package.constData(), package.size(), 3);
        crypto_secretstream_xchacha20poly1305_state stream;
        unsigned char header[crypto_secretstream_xchacha20poly1305_HEADERBYTES];
        crypto_secretstream_xchacha20poly1305_init_push(&stream, header, key);
        for (size_t offset = 0; offset < packedSize; offset += Chunk) {
            const size_t length = std::min(Chunk, packedSize - offset);
            const unsigned char tag =
                offset + length == packedSize ? crypto_secretstream_xchacha20poly1305_TAG_FINAL : 0;
            crypto_secretstream_xchacha20poly1305_push(&stream, sealed.data(), nullptr,
                                                       reinterpret_cast<const unsigned char*>(packed.data()) + offset,
                                                       length, nullptr, 0, tag);
        }
        benchmark::DoNotOptimize(sealed.data());
    }
    state.SetBytesProcessed(state.iterations() * (MessageBytes + FileBytes));
}
BENCHMARK(BM_ZstdPlusSecretstream)->Unit(benchmark::kMillisecond);

// Parts of the pipeline's own work beyond compression and encryption, on the same package, so the
// gap to the floor can be told apart: the check value, the two randomness measures, and writing
// plus shredding one temporary file of the package's size (the pipeline does this for two).
void BM_PipelinePart(benchmark::State& state)
{
    Inputs& inputs = SharedInputs();
    const QByteArray package = BuildPlainPackage(inputs.message.toUtf8(), "attachment.txt", inputs.fileBytes);
    const QString temp = inputs.dir.filePath(QStringLiteral("part.tmp"));
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            benchmark::DoNotOptimize(MD5HexOfString(package));
            break;
        case 1:
            benchmark::DoNotOptimize(randomness_measure(package.constData(), package.size(), 64));
            break;
        case 2:
            FileProc::WriteStringToFile(package, temp);
            Cleanup::ShredAndDelete(temp);
            break;
        }
    }
}
BENCHMARK(BM_PipelinePart)->Arg(0)->Arg(1)->Arg(2)->ArgName("md5|measure|write+shred")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
