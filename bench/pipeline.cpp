// The whole encrypt pipeline on the largest input (a 99,999-byte message and a 2,027,520-byte file),
// next to its two peers measured in the same run: the key derivation alone, and zstd plus raw
// secretstream over the same package in memory. The pipeline's cost without the key derivation is
// measured directly, with keys derived once and handed to the engine, in a working folder on disk
// and in one on a memory file system (where $XDG_RUNTIME_DIR puts it for most users).
#include "engines/CipherBody.h"
#include "engines/CipherEngine.h"
#include "engines/Digest.h"
#include "engines/Packer.h"
#include "engines/toolkit.h"
#include "files/Cleanup.h"
#include "files/FileProc.h"
#include "format/PlainPackage.h"
#include "pipeline/EncryptPipeline.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
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

// Where the inputs, the working folders and the output live.
enum class Folder { Disk, Memory };

QString FolderTemplate(Folder folder)
{
    if (folder == Folder::Disk)
        return QDir::tempPath() + QStringLiteral("/quillet-bench-XXXXXX");
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return (runtimeDir.isEmpty() ? QStringLiteral("/dev/shm") : runtimeDir) + QStringLiteral("/quillet-bench-XXXXXX");
}

struct Inputs {
    QTemporaryDir dir;
    QString message = QString::fromLatin1(TextLike(MessageBytes, 7));
    QString filePath = dir.filePath(QStringLiteral("attachment.txt"));
    QByteArray fileBytes = TextLike(FileBytes, 11);

    explicit Inputs(Folder folder) : dir(FolderTemplate(folder))
    {
        QFile file(filePath);
        if (file.open(QIODevice::WriteOnly))
            file.write(fileBytes);
    }
};

Inputs& SharedInputs(Folder folder = Folder::Disk)
{
    static Inputs onDisk(Folder::Disk);
    static Inputs inMemory(Folder::Memory);
    return folder == Folder::Disk ? onDisk : inMemory;
}

EncryptRequest LargestRequest(Inputs& inputs, KdfLevel level)
{
    EncryptRequest request;
    request.message = inputs.message;
    request.fileToAppend = inputs.filePath;
    request.outputPath = inputs.dir.filePath(QStringLiteral("out.zip"));
    request.mayReplace = true; // every iteration writes the same file again
    request.quickKey = QStringLiteral("Correct Horse Battery Staple 42");
    request.kdfLevel = level;
    request.workingFolderBase = inputs.dir.path();
    return request;
}

void RunPipeline(benchmark::State& state, const EncryptRequest& request)
{
    for (auto _ : state) {
        ScriptedDialogs dialogs;
        const EncryptOutcome outcome = EncryptMessage(request, dialogs);
        if (!outcome.success)
            state.SkipWithError("the pipeline failed");
    }
    state.SetBytesProcessed(state.iterations() * (MessageBytes + FileBytes));
}

// The engine's file encryption with keys derived once: everything the engine does but Argon2id.
int32_t EncryptWithKeysDerivedOnce(CipherEngine& /*engine*/, const char* in, const char* out)
{
    static cipher_body::ChunkBuffers buffers;
    // Any fixed keys serve: the stream runs the same.
    static const QByteArray derived(cipher_body::BodyKeys::kBytes, '\x5A');
    const cipher_body::KeyDeriver fixed = [](const cipher_body::BodyHeader&, cipher_body::BodyKeys& keys) {
        std::copy(derived.cbegin(), derived.cend(), keys.data());
        return cipher_result::kOk;
    };
    return cipher_body::encrypt_body_file(in, out, cipher_body::kdf_params(KdfLevel::Moderate), fixed, buffers);
}

void BM_EncryptPipeline(benchmark::State& state)
{
    RunPipeline(state, LargestRequest(SharedInputs(), static_cast<KdfLevel>(state.range(0))));
}
BENCHMARK(BM_EncryptPipeline)
    ->Arg(static_cast<int>(KdfLevel::Interactive))
    ->Arg(static_cast<int>(KdfLevel::Moderate))
    ->ArgName("kdf")
    ->Unit(benchmark::kMillisecond);

// The pipeline without the key derivation, on disk (0) and in memory (1): the figure to hold against
// zstd plus secretstream.
void BM_EncryptPipelineKeysDerivedOnce(benchmark::State& state)
{
    EncryptRequest request = LargestRequest(SharedInputs(static_cast<Folder>(state.range(0))), KdfLevel::Moderate);
    request.engine.encryptFile = EncryptWithKeysDerivedOnce;
    RunPipeline(state, request);
}
BENCHMARK(BM_EncryptPipelineKeysDerivedOnce)
    ->Arg(static_cast<int>(Folder::Disk))
    ->Arg(static_cast<int>(Folder::Memory))
    ->ArgName("disk|memory")
    ->Unit(benchmark::kMillisecond);

// The same in memory as the command line runs it: without the randomness view's two measures.
void BM_EncryptPipelineKeysDerivedOnceWithoutView(benchmark::State& state)
{
    EncryptRequest request = LargestRequest(SharedInputs(Folder::Memory), KdfLevel::Moderate);
    request.engine.encryptFile = EncryptWithKeysDerivedOnce;
    request.measureRandomness = false;
    RunPipeline(state, request);
}
BENCHMARK(BM_EncryptPipelineKeysDerivedOnceWithoutView)->Unit(benchmark::kMillisecond);

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
// plus shredding one temporary file of the package's size, as the pipeline does for the plain and
// the compressed package.
void BM_PipelinePart(benchmark::State& state)
{
    Inputs& inputs = SharedInputs(Folder::Memory);
    const QByteArray package = BuildPlainPackage(inputs.message.toUtf8(), "attachment.txt", inputs.fileBytes);
    const QString temp = inputs.dir.filePath(QStringLiteral("part.tmp"));
    // The two engine steps, each from the file the step before it leaves.
    const QByteArray plainPath = QFile::encodeName(inputs.dir.filePath(QStringLiteral("part.plain")));
    const QByteArray packedPath = QFile::encodeName(inputs.dir.filePath(QStringLiteral("part.packed")));
    const QByteArray outPath = QFile::encodeName(inputs.dir.filePath(QStringLiteral("part.out")));
    FileProc::FileCreatable(QFile::decodeName(plainPath));
    FileProc::WriteToTempFile(package, QFile::decodeName(plainPath));
    Packer packer;
    CipherEngine engine(KdfLevel::Moderate);
    if (packer.alb() == 0 || packer.cf(plainPath.constData(), packedPath.constData(), 0) != 0)
        state.SkipWithError("the packer failed");
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0:
            benchmark::DoNotOptimize(MD5HexOfString(package));
            break;
        case 1:
            benchmark::DoNotOptimize(randomness_measure(package.constData(), package.size(), 64));
            break;
        case 2:
            FileProc::FileCreatable(temp);
            FileProc::WriteToTempFile(package, temp);
            Cleanup::ShredAndDelete(temp);
            break;
        case 3:
            if (packer.cf(plainPath.constData(), outPath.constData(), 0) != 0)
                state.SkipWithError("the packer failed");
            break;
        case 4:
            if (EncryptWithKeysDerivedOnce(engine, packedPath.constData(), outPath.constData()) != 0)
                state.SkipWithError("the engine failed");
            break;
        }
    }
    QFile::remove(QFile::decodeName(plainPath));
    QFile::remove(QFile::decodeName(packedPath));
    QFile::remove(QFile::decodeName(outPath));
}
BENCHMARK(BM_PipelinePart)
    ->DenseRange(0, 4)
    ->ArgName("md5|measure|write+shred|compress|encrypt")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
