#include "pipeline/CiphertextSource.h"

#include "engines/CipherBody.h"
#include "files/FileProc.h"
#include "format/ArmoredText.h"
#include "format/CiphertextFile.h"
#include "pipeline/Failure.h"
#include "texts/Language.h"

#include <QDir>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

class SourceCheck {
  public:
    SourceCheck(const QString& path, const std::optional<QByteArray>& bytes, int language)
        : path_(path), bytes_(bytes), language_(language)
    {
    }

    CiphertextSource Run()
    {
        if (path_.isEmpty() && !bytes_) {
            source_.icon = DialogIcon::None;
            Refuse(Text(DecryptTexts::NoCiphertextFile, language_), DecryptStatus::Failed);
        } else if (Read() && ToBinaryForm())
            CheckHeaders();
        if (!source_.ok())
            source_.file.clear();
        return source_;
    }

  private:
    bool Read()
    {
        if (bytes_) {
            source_.file = bytes_->left(MaxCiphertextTextBytes + 1);
            return true;
        }
        QString errorText;
        FileProc::ReadFileToString(path_, source_.file, MaxCiphertextTextBytes + 1, errorText);
        if (errorText.isEmpty())
            return true;
        // The cause is the file's, so the file is named, not its folder.
        const Failure unreadable =
            Failure(DecryptTexts::CiphertextUnreadable).At(path_, Failure::Place::Path).Because(errorText);
        return Refuse(unreadable.Message(language_) + CrLf + Text(DecryptTexts::CheckTheFile, language_),
                      DecryptStatus::Failed);
    }

    // Bytes that neither begin like the binary file nor hold a text block go on as they are, to be
    // refused for what they are not.
    bool ToBinaryForm()
    {
        using namespace DecryptTexts;
        if (source_.file.size() > MaxCiphertextTextBytes)
            return RefuseText(FileTooLarge);
        if (!Armor::LooksBinary(source_.file) && !Unarmor())
            return false;
        if (source_.file.size() > MaxCiphertextFileBytes)
            return RefuseText(FileTooLarge);
        return true;
    }

    bool Unarmor()
    {
        using namespace DecryptTexts;
        Armor::Decoded decoded = Armor::Decode(source_.file);
        switch (decoded.found) {
        case Armor::Found::NoBlock:
            return true;
        case Armor::Found::Ok:
            source_.file = std::move(decoded.ciphertextFile);
            return true;
        case Armor::Found::Damaged:
            return RefuseText(ArmorDamaged);
        case Armor::Found::Unended:
            return RefuseText(ArmorUnended);
        case Armor::Found::TwoBlocks:
            return RefuseText(ArmorTwoBlocks);
        }
        return true;
    }

    // The ZIP-like header, and the engine's own header behind it, say whether this is a file Quillet
    // can read at all.
    void CheckHeaders()
    {
        using namespace DecryptTexts;
        const CiphertextSplit split = SplitCiphertextFile(source_.file);
        if (!split.ok) {
            RefuseNamed(Text(NotCiphertextFileText, language_));
            return;
        }
        if (split.body.isEmpty()) {
            RefuseNamed(Text(NothingToDecrypt, language_));
            return;
        }
        cipher_body::BodyHeader header;
        // The engine's own reading of its header says why, in the words a failed decryption uses.
        if (const int32_t code = cipher_body::parse_header(split.body, header); code != cipher_result::kOk)
            RefuseNamed(EngineCauseLines(code, language_).join(CrLf));
    }

    // A text that already says what to do next.
    bool RefuseText(int number) { return Refuse(Text(number, language_), DecryptStatus::WrongKeyOrDamaged); }

    // What is wrong with a named file: its name, the problem and what to do next. A text block from
    // elsewhere has no name to check.
    bool RefuseNamed(const QString& problem)
    {
        if (bytes_)
            return Refuse(problem, DecryptStatus::WrongKeyOrDamaged);
        return Refuse(QDir::toNativeSeparators(path_) + CrLf + problem + CrLf +
                          Text(DecryptTexts::CheckTheFile, language_),
                      DecryptStatus::WrongKeyOrDamaged);
    }

    bool Refuse(const QString& text, DecryptStatus status)
    {
        source_.problem = text;
        source_.status = status;
        return false;
    }

    const QString& path_;
    const std::optional<QByteArray>& bytes_;
    const int language_;
    CiphertextSource source_;
};

} // namespace

CiphertextSource ReadCiphertextSource(const DecryptRequest& request)
{
    return SourceCheck(request.ciphertextPath, request.ciphertext, request.language).Run();
}

void ShowSourceRefusal(const CiphertextSource& source, Dialogs& dialogs, int language)
{
    dialogs.inform(source.problem, Text(DecryptTexts::CommandCaption, language), source.icon, Remedy::CiphertextFile);
}
