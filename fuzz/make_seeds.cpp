// Writes the seed corpora of the fuzz targets, one folder per target, from the test vectors and
// test data of the source tree, plus what only a program can make: packages, zstd frames and
// engine bodies at the lowest derivation bounds under the engine-body target's key.
//
//   quillet_fuzz_seeds <source folder> <output folder>

#include "EngineBodySeed.h"

#include "engines/Packer.h"
#include "format/ArmoredText.h"
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes seeds into one folder per target; ok turns false at the first seed not written.
struct SeedWriter {
    QString output;
    bool ok = true;

    // Seeds are named by their content, as libFuzzer names the inputs it keeps.
    void put(const char* target, const QByteArray& seed)
    {
        const QString folder = output + QLatin1Char('/') + QLatin1String(target);
        QDir().mkpath(folder);
        const QString name = QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex();
        QFile file(folder + QLatin1Char('/') + name);
        if (file.open(QIODevice::WriteOnly) && file.write(seed) == seed.size())
            return;
        std::fprintf(stderr, "cannot write a seed into %s\n", qPrintable(folder));
        ok = false;
    }

    // A seed this program makes: empty only when making it failed.
    void putMade(const char* target, const QByteArray& seed)
    {
        if (seed.isEmpty()) {
            std::fprintf(stderr, "could not make a seed for %s\n", target);
            ok = false;
            return;
        }
        put(target, seed);
    }
};

// A command line as the command-line target reads it: arguments separated by NUL bytes.
template <std::size_t N> QByteArray Arguments(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

QStringList FilesUnder(const QString& folder, const QStringList& patterns)
{
    QStringList files;
    QDirIterator it(folder, patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray Compressed(const QByteArray& bytes, const QString& scratch)
{
    const QString in = scratch + "/in", out = scratch + "/out";
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    file.close();
    Packer packer;
    if (packer.alb() == 0)
        return {};
    return packer.cf(in.toUtf8().constData(), out.toUtf8().constData(), 0) == 0 ? ReadAll(out) : QByteArray();
}

QByteArray LowestBoundsBody(const QByteArray& plain)
{
    static cipher_body::ChunkBuffers buffers;
    QByteArray input = plain, body;
    QBuffer in(&input), out(&body);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    return cipher_body::encrypt_body(in, out, cipher_body::kKdfMin, fuzz::LowestBoundsDeriver(), buffers) == 0
               ? body
               : QByteArray();
}

// Test data texts, the program's own data files and the ciphertext vectors.
struct SourceFiles {
    QStringList texts;
    QStringList vectors;
    QStringList armoredVectors;
    QList<QByteArray> vectorNames; // the attached names the vector manifest lists
};

SourceFiles FindSourceFiles(const QString& source)
{
    SourceFiles files;
    files.texts = FilesUnder(source + "/tests/data", {"*"}) + FilesUnder(source + "/data", {"*"});
    files.vectors = FilesUnder(source + "/tests/vectors", {"*.zip"});
    files.armoredVectors = FilesUnder(source + "/tests/vectors", {"*.txt"});
    for (const QByteArray& line : ReadAll(source + "/tests/vectors/vectors.txt").split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (!line.startsWith('#') && fields.size() > 4 && fields[4] != "-")
            files.vectorNames << QByteArray::fromPercentEncoding(fields[4]);
    }
    return files;
}

std::vector<QByteArray> Packages(const SourceFiles& files)
{
    const QByteArray message = "Meet me at noon. Grüße, 東京.\r\n";
    std::vector<QByteArray> packages = {
        BuildPlainPackage(message, {}, QByteArray(40, 'x')),
        BuildPlainPackage(message, "hello.txt", "Hello, world.\n"),
        BuildPlainPackage({}, {}, {}),
    };
    for (const QByteArray& name : files.vectorNames)
        packages.push_back(BuildPlainPackage(message, name.left(MaxNameBytes), "attached"));
    return packages;
}

void SeedsFromFiles(const SourceFiles& files, const QString& scratch, SeedWriter& seeds)
{
    for (const QString& path : files.texts) {
        const QByteArray text = ReadAll(path);
        seeds.put("program_texts", text);
        seeds.put("text_file", text);
        seeds.putMade("dcf", Compressed(text, scratch));
    }
    for (const QString& path : files.vectors) {
        const QByteArray file = ReadAll(path);
        seeds.put("ciphertext_header", file);
        seeds.put("engine_body", SplitCiphertextFile(file).body);
        seeds.put("armored_text", Armor::Encode(file));
    }
    for (const QString& path : files.armoredVectors)
        seeds.put("armored_text", ReadAll(path));
    for (const QByteArray& name : files.vectorNames)
        seeds.put("attached_name", name);
}

void MadeSeeds(const SourceFiles& files, const QString& scratch, SeedWriter& seeds)
{
    seeds.put("attached_name", "hello.txt");
    seeds.put("attached_name", "Grüße aus 東京.pdf");
    for (const QByteArray& package : Packages(files)) {
        const QByteArray packed = Compressed(package, scratch);
        seeds.putMade("plain_package", package);
        seeds.putMade("dcf", packed);
        seeds.putMade("engine_body", LowestBoundsBody(packed));
    }
    // Two chunks: the chunk boundary and the final tag of a longer body.
    seeds.putMade("engine_body", LowestBoundsBody(QByteArray(cipher_body::kChunkBytes + 100, 'q')));
    seeds.putMade("engine_body", LowestBoundsBody({}));
    for (const QByteArray& commandLine : {
             Arguments("encrypt\0--key-file\0key.txt\0--out\0letter.zip"),
             Arguments("encrypt\0--out=letter.zip\0--attach\0photo.jpg\0--message-file\0m.txt\0--kdf\0interactive"
                       "\0--force\0--lang\0de"),
             Arguments("decrypt\0--key-file\0key.txt\0--in\0letter.zip\0--out-dir\0/tmp\0--message-out\0m.txt"
                       "\0--accept-bad-check"),
             Arguments("checksum\0--key-file=key.txt"),
             Arguments("inspect\0--in\0letter.zip"),
             Arguments("--help"),
             Arguments("--version"),
         })
        seeds.put("command_line", commandLine);
}

bool MakeSeeds(const QString& source, const QString& output)
{
    const SourceFiles files = FindSourceFiles(source);
    QTemporaryDir scratch;
    if (files.texts.isEmpty() || files.vectors.isEmpty() || !scratch.isValid()) {
        std::fprintf(stderr, "no test data or vectors under %s, or no scratch folder\n", qPrintable(source));
        return false;
    }
    SeedWriter seeds{output};
    SeedsFromFiles(files, scratch.path(), seeds);
    MadeSeeds(files, scratch.path(), seeds);
    return seeds.ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <source folder> <output folder>\n", argv[0]);
        return 2;
    }
    return MakeSeeds(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
