// Makes the decrypt test vectors: small ciphertext files, each testing exactly one outcome, and
// vectors.txt, the manifest the table-driven test reads. Run once by hand; its output is committed:
//     build/bin/quillet_make_vectors tests/vectors
// Each run draws new salts, so the files change even when nothing else did.
#include "engines/Digest.h"
#include "format/PlainPackage.h"
#include "pipeline/EncryptPipeline.h"
#include "support/ScriptedDialogs.h"
#include "vectors/CiphertextMaker.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

const QString Key = QStringLiteral("Vector Key For Quillet 2024");
const QString OtherKey = QStringLiteral("Some Other Key Entirely 99");
const QString Message = QStringLiteral("Test vector message: Grüße, 東京.");
const QByteArray AttachedText = "Attached text, line one.\nLine two.\n";

class VectorWriter {
  public:
    VectorWriter(const QString& folder, const QString& scratch) : folder_(folder), scratch_(scratch) {}

    // One manifest line: file, key, outcome, then message, attached name and MD5 of the attached
    // bytes for the files that decrypt ("-" where there is none).
    bool Add(const QString& file, const QByteArray& bytes, const QString& outcome, const QString& message = "-",
             const QByteArray& name = "-", const QByteArray& data = {})
    {
        if (bytes.isEmpty() || !CiphertextMaker::write_file(folder_ + '/' + file, bytes)) {
            std::fprintf(stderr, "could not make %s\n", qPrintable(file));
            return false;
        }
        const QByteArray md5 =
            data.isEmpty() ? QByteArray("-") : QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
        lines_ << QStringList{file,
                              Key,
                              outcome,
                              message,
                              QString::fromUtf8(name.toPercentEncoding()),
                              QString::fromLatin1(md5)}
                      .join('\t');
        return true;
    }

    QByteArray Package(const QByteArray& package, const QString& key = Key) const
    {
        return CiphertextMaker::FromPackage(package, key, scratch_);
    }

    // A ciphertext file whose engine body holds bytes that are not a compressed package.
    QByteArray Uncompressed(const QByteArray& bytes) const
    {
        return CiphertextMaker::WithHeader(CiphertextMaker::EngineBody(bytes, Key, scratch_));
    }

    // The real encrypt pipeline, with or without a file to append.
    QByteArray Encrypted(const QString& fileToAppend) const
    {
        ScriptedDialogs dialogs;
        EncryptRequest request;
        request.message = Message;
        request.fileToAppend = fileToAppend;
        request.outputPath = scratch_ + "/out.zip";
        request.quickKey = Key;
        request.kdfLevel = KdfLevel::Interactive;
        request.workingFolderBase = scratch_;
        return EncryptMessage(request, dialogs).success ? CiphertextMaker::read_file(request.outputPath) : QByteArray();
    }

    bool WriteManifest() const
    {
        QFile file(folder_ + "/vectors.txt");
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return false;
        QTextStream out(&file);
        out << "# Decrypt test vectors, made by make_vectors.cpp. One line per file, fields separated by TAB:\n"
               "# file, key, expected outcome, message, attached name (percent-encoded), MD5 of the attached bytes.\n"
               "# Outcomes: success, wrong-key (150), damaged (151), not-a-body (153), not-ciphertext (407),\n"
               "# check-value-mismatch (21, answered No), damaged-package (408), not-compressed (416),\n"
               "# unsafe-name (415).\n";
        for (const QString& line : lines_)
            out << line << '\n';
        return true;
    }

  private:
    QString folder_;
    QString scratch_;
    QStringList lines_;
};

QByteArray Changed(QByteArray bytes, qsizetype at, char delta)
{
    bytes[at] = static_cast<char>(bytes.at(at) + delta);
    return bytes;
}

bool MakeVectors(VectorWriter& w, const QString& scratch)
{
    const QString appended = scratch + "/Hello.TXT";
    if (!CiphertextMaker::write_file(appended, AttachedText))
        return false;
    // The damaged files start from the small one with a file: the one without carries 20 to 50 kB
    // of filler.
    const QByteArray withFile = w.Encrypted(appended);
    const QByteArray message = Message.toUtf8();
    const QByteArray filler(3000, 'f');
    // A right check value over a message length that is not a number.
    const QByteArray brokenLengths = "12x45" + filler;
    QByteArray mismatch = BuildPlainPackage(message, "hello.txt", AttachedText);
    mismatch[mismatch.size() - 1] = mismatch.at(mismatch.size() - 1) == '0' ? '1' : '0';

    bool ok = w.Add("good_no_file.zip", w.Encrypted({}), "success", Message) &&
              w.Add("good_with_file.zip", withFile, "success", Message, "hello.txt", AttachedText) &&
              w.Add("wrong_key.zip", w.Package(BuildPlainPackage(message, {}, filler), OtherKey), "wrong-key") &&
              w.Add("header_length_changed.zip", Changed(withFile, 11, 1), "not-a-body") &&
              w.Add("body_byte_changed.zip", Changed(withFile, withFile.size() - 40, 1), "damaged") &&
              w.Add("truncated.zip", withFile.left(withFile.size() - 25), "damaged") &&
              w.Add("trailing_data.zip", withFile + "trailing", "damaged") &&
              w.Add("too_short.zip", withFile.left(11), "not-ciphertext") &&
              w.Add("check_value_mismatch.zip", w.Package(mismatch), "check-value-mismatch") &&
              w.Add("package_lengths_invalid.zip", w.Package(brokenLengths + MD5HexOfString(brokenLengths)),
                    "damaged-package") &&
              w.Add("not_compressed.zip", w.Uncompressed(BuildPlainPackage(message, {}, filler)), "not-compressed");

    const std::pair<const char*, QByteArray> unsafeNames[] = {
        {"unsafe_name_slash.zip", "../escape.txt"},
        {"unsafe_name_backslash.zip", "..\\escape.txt"},
        {"unsafe_name_dotdot.zip", ".."},
        {"unsafe_name_drive.zip", "C:escape.txt"},
        {"unsafe_name_control.zip", "escape\x07.txt"},
        {"unsafe_name_rtl_override.zip", QStringLiteral("photo\u202Egpj.exe").toUtf8()},
        {"unsafe_name_invalid_utf8.zip", "escape\xc0\xaf.txt"},
        {"unsafe_name_too_long.zip", QByteArray(256, 'n')},
        {"unsafe_name_device.zip", "aux.txt"},
    };
    for (const auto& [file, name] : unsafeNames)
        ok = ok && w.Add(file, w.Package(BuildPlainPackage(message, name, AttachedText)), "unsafe-name", Message, name);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet_make_vectors <output folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir scratch;
    if (!QDir().mkpath(folder) || !scratch.isValid())
        return 1;
    VectorWriter writer(folder, scratch.path());
    return MakeVectors(writer, scratch.path()) && writer.WriteManifest() ? 0 : 1;
}
