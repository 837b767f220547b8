// Makes the decrypt test vectors: small ciphertext files, each testing exactly one outcome, and
// vectors.txt, the manifest the table-driven test reads. Run once by hand; its output is committed:
//     build/bin/quillet_make_vectors tests/vectors
// Each run draws new salts, so the files change even when nothing else did.
#include "engines/Digest.h"
#include "format/ArmoredText.h"
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
        request.mayReplace = true; // one scratch file for every vector
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
               "# unsafe-name (419 offers a safe name, answered No: 415); names only Windows refuses (drive,\n"
               "# device) are ordinary names on Linux: success; for the armored text form (*.txt, *.eml):\n"
               "# armor-damaged (450), armor-unended (451), armor-two-blocks (452).\n";
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

// ---- The armored text form ----

// The Base64 lines of an armored file, without begin and end line.
QByteArray Base64Of(const QByteArray& file)
{
    return file.toBase64();
}

QByteArray Block(const QByteArray& base64, qsizetype width, const QByteArray& indent, const QByteArray& lineEnd)
{
    QByteArray text = indent + Armor::BeginLine + lineEnd;
    for (qsizetype at = 0; at < base64.size(); at += width)
        text += indent + base64.mid(at, width) + lineEnd;
    return text + indent + Armor::EndLine + lineEnd;
}

// As a mail client re-wraps and indents it, inside a letter with a signature.
QByteArray Rewrapped(const QByteArray& file)
{
    return "Hello Anna,\r\n\r\nhere is the letter we spoke about:\r\n\r\n" + Block(Base64Of(file), 76, "  ", "\r\n") +
           "\r\nSee you soon,\r\nBen\r\n-- \r\nBen Example, +49 30 1234567\r\n";
}

// As a reply quotes it: every line behind "> ".
QByteArray Quoted(const QByteArray& file)
{
    QByteArray text = "Thanks, it arrived. Your letter:\n\nOn Monday, Ben wrote:\n";
    for (const QByteArray& line : Armor::Encode(file).split('\n'))
        if (!line.isEmpty())
            text += "> " + line + '\n';
    return text + ">\n> Ben\n";
}

// Quoted-printable as RFC 2045 writes it: "=" and bytes beyond ASCII as "=XX", lines longer than 76
// characters broken with a soft line break "=" that never splits an "=XX".
QByteArray QuotedPrintable(const QByteArray& text)
{
    QByteArray encoded;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray plain = line.endsWith('\r') ? line.chopped(1) : line;
        QByteArray out;
        qsizetype width = 0;
        for (const char c : plain) {
            const unsigned char byte = static_cast<unsigned char>(c);
            const QByteArray piece = byte == '=' || byte >= 0x80
                                         ? "=" + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0')
                                         : QByteArray(1, c);
            if (width + piece.size() > 75) {
                out += "=\r\n";
                width = 0;
            }
            out += piece;
            width += piece.size();
        }
        encoded += out + "\r\n";
    }
    return encoded.chopped(2); // the split made one line more than the text had
}

// A saved e-mail (.eml) whose text part is quoted-printable: the block's "=" read "=3D", its
// indented lines are too long and end in a soft line break.
QByteArray QuotedPrintableMail(const QByteArray& file)
{
    const QByteArray body = "Gr\xC3\xBC\xC3\x9F"
                            "e, Anna,\r\n\r\n" +
                            Block(Base64Of(file), 76, "  ", "\r\n") + "\r\nBen\r\n";
    return "From: Ben <ben@example.org>\r\nTo: Anna <anna@example.org>\r\nSubject: The letter\r\n"
           "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
           QuotedPrintable(body);
}

// One Base64 character replaced by one that is not Base64 (a mail program's soft line break).
QByteArray ForeignCharacter(const QByteArray& file)
{
    QByteArray base64 = Base64Of(file);
    base64[base64.size() / 2] = '*';
    return Block(base64, Armor::LineLength, {}, "\n");
}

// One Base64 character changed into another: the text is well formed, the file it gives is damaged.
QByteArray ChangedCharacter(const QByteArray& file)
{
    QByteArray base64 = Base64Of(file);
    const qsizetype at = base64.size() - 20;
    base64[at] = base64.at(at) == 'A' ? 'B' : 'A';
    return Block(base64, Armor::LineLength, {}, "\n");
}

// The same bytes with padding bits that are not zero: a lenient decoder reads the same file, so a
// second spelling of one file would pass. "" when the file's length leaves no padding bits.
QByteArray StrayPaddingBits(const QByteArray& file)
{
    static const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QByteArray base64 = Base64Of(file);
    const qsizetype padding = base64.endsWith("==") ? 2 : base64.endsWith('=') ? 1 : 0;
    if (padding == 0)
        return {};
    const qsizetype at = base64.size() - padding - 1;
    base64[at] = alphabet.at(alphabet.indexOf(base64.at(at)) | 1);
    return Block(base64, Armor::LineLength, {}, "\n");
}

// A good ciphertext file whose length is not a multiple of three, so its Base64 ends in padding.
QByteArray WithPadding(const VectorWriter& w, const QString& scratch)
{
    for (int extra = 1; extra <= 8; ++extra) {
        const QString appended = scratch + "/Padded.TXT";
        if (!CiphertextMaker::write_file(appended, AttachedText + QByteArray(extra, '\n')))
            return {};
        const QByteArray file = w.Encrypted(appended);
        if (file.size() % 3 != 0)
            return file;
    }
    return {};
}

// White space inside the Base64 lines (spaces, a tab), which a reader drops like the indentation.
QByteArray SpacesInsideLines(const QByteArray& file)
{
    QByteArray text;
    for (const QByteArray& line : Armor::Encode(file).split('\n')) {
        if (line.size() == Armor::LineLength)
            text += line.left(16) + "  " + line.mid(16, 16) + '\t' + line.mid(32) + '\n';
        else if (!line.isEmpty())
            text += line + '\n';
    }
    return text;
}

bool MakeArmoredVectors(VectorWriter& w, const QString& scratch, const QByteArray& withFile)
{
    const QByteArray armored = Armor::Encode(withFile);
    const QByteArray padded = WithPadding(w, scratch);
    const QByteArray stray = StrayPaddingBits(padded);
    return w.Add("armored_good.txt", armored, "success", Message, "hello.txt", AttachedText) &&
           w.Add("armored_rewrapped.txt", Rewrapped(withFile), "success", Message, "hello.txt", AttachedText) &&
           w.Add("armored_quoted.txt", Quoted(withFile), "success", Message, "hello.txt", AttachedText) &&
           w.Add("armored_foreign_character.txt", ForeignCharacter(withFile), "armor-damaged") &&
           w.Add("armored_changed_character.txt", ChangedCharacter(withFile), "damaged") &&
           w.Add("armored_stray_padding_bits.txt", stray, "armor-damaged") &&
           w.Add("armored_padding_missing.txt", Block(Base64Of(padded).replace("=", ""), Armor::LineLength, {}, "\n"),
                 "armor-damaged") &&
           w.Add("armored_cut_short.txt", armored.left(armored.indexOf(Armor::EndLine)), "armor-unended") &&
           w.Add("armored_two_blocks.txt", armored + "\n" + armored, "armor-two-blocks") &&
           // As mail programs deliver it.
           w.Add("armored_quoted_printable.eml", QuotedPrintableMail(withFile), "success", Message, "hello.txt",
                 AttachedText) &&
           w.Add("armored_bom_no_break_spaces.txt",
                 "\xEF\xBB\xBF" + Block(Base64Of(withFile), Armor::LineLength, "\xC2\xA0\xC2\xA0", "\n"), "success",
                 Message, "hello.txt", AttachedText) &&
           w.Add("armored_cr_line_ends.txt", Block(Base64Of(withFile), Armor::LineLength, {}, "\r"), "success", Message,
                 "hello.txt", AttachedText) &&
           w.Add("armored_spaces_inside_lines.txt", SpacesInsideLines(withFile), "success", Message, "hello.txt",
                 AttachedText) &&
           w.Add("armored_empty_block.txt", Block({}, Armor::LineLength, {}, "\n"), "armor-damaged") &&
           // Neither the ZIP signature nor a begin line: read as a binary file, whose body is no engine body.
           w.Add("text_without_block.txt", "Hello Anna, the file follows tomorrow.\n", "not-a-body");
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
        {"unsafe_name_control.zip", "escape\x07.txt"},
        {"unsafe_name_rtl_override.zip", QStringLiteral("photo\u202Egpj.exe").toUtf8()},
        {"unsafe_name_invalid_utf8.zip", "escape\xc0\xaf.txt"},
        {"unsafe_name_too_long.zip", QByteArray(256, 'n')},
        // U+FEFF shows as nothing wherever it stands; in front it is not a byte-order mark to drop.
        {"unsafe_name_bom_front.zip", "\xEF\xBB\xBF"
                                      "a.txt"},
        {"unsafe_name_bom_alone.zip", "\xEF\xBB\xBF"},
        {"unsafe_name_bom_inside.zip", "a\xEF\xBB\xBF"
                                       "b.txt"},
        {"unsafe_name_trailing_dot_space.zip", "x.txt. "},
    };
    for (const auto& [file, name] : unsafeNames)
        ok = ok && w.Add(file, w.Package(BuildPlainPackage(message, name, AttachedText)), "unsafe-name", Message, name);
    // Refused by Windows only: written as they stand here.
    const std::pair<const char*, QByteArray> windowsOnlyNames[] = {
        {"unsafe_name_drive.zip", "C:escape.txt"},
        {"unsafe_name_device.zip", "aux.txt"},
    };
    // The longest name written as it stands: 255 bytes, 130 characters.
    const QByteArray longestName = QString(QString(125, QChar(0xE9)) + "a.txt").toUtf8();
    ok = ok && w.Add("name_255_bytes.zip", w.Package(BuildPlainPackage(message, longestName, AttachedText)), "success",
                     Message, longestName, AttachedText);
    // The ZIP signature is decoration: a file without it is read as a binary file all the same.
    ok = ok && w.Add("signature_changed.zip", Changed(withFile, 0, 1), "success", Message, "hello.txt", AttachedText);
    for (const auto& [file, name] : windowsOnlyNames)
        ok = ok && w.Add(file, w.Package(BuildPlainPackage(message, name, AttachedText)), "success", Message, name,
                         AttachedText);
    return ok && MakeArmoredVectors(w, scratch, withFile);
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
