#include "pipeline/DecryptPipeline.h"

#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "files/FileLimits.h"
#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/IoErrorText.h"
#include "format/ArmoredText.h"
#include "format/AttachedFileName.h"
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"
#include "keys/KeyRoutines.h"
#include "pipeline/NoKeyMessage.h"
#include "pipeline/PipelineMessages.h"
#include "pipeline/PipelineRun.h"
#include "texts/Language.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

// What the window read: the named file, or (with none named) the block in its text box. The two
// can differ from what the user expects, so the closing box says which it was.
QString SourceRead(const DecryptRequest& request, int language)
{
    const QString source = request.ciphertext ? Text(DecryptTexts::TextBlockInTextBox, language)
                                              : QFileInfo(request.ciphertextPath).fileName();
    return Text(DecryptTexts::ReadFrom, language) + ' ' + source;
}

QString ClosingMessage(const DecryptOutcome& outcome, const DecryptRequest& request)
{
    using namespace DecryptTexts;
    const int language = request.language;
    QString text;
    if (outcome.attachment == AttachmentFate::Saved)
        text = Text(DecryptedAndSaved, language);
    else if (outcome.attachment == AttachmentFate::Abandoned)
        text = Text(Decrypted, language) + ' ' + Text(FileNotSaved, language);
    else
        text = Text(Decrypted, language);
    if (!request.closingNamesTheWindow)
        return text;
    const QString ending = language == Language::German ? QStringLiteral("' klicken.") : QStringLiteral("'.");
    return text + CrLf + SourceRead(request, language) + CrLf + CrLf + Text(NowInTextBox, language) + CrLf +
           Text(ToReplyClick, language) + CrLf + '\'' + Text(EncryptOption, language) + ending;
}

class DecryptRun {
  public:
    DecryptRun(const DecryptRequest& request, Dialogs& dialogs)
        : request_(request), dialogs_(dialogs), language_(request.language),
          title_(Text(DecryptTexts::CommandCaption, request.language)),
          run_(request.workingFolderBase, request.workingFolders, request.control)
    {
    }

    DecryptOutcome Run()
    {
        if (!CheckInputs())
            return outcome_;
        QByteArray package;
        if (!RecoverPackage(package))
            return outcome_;
        PlainPackageContent content = ParsePlainPackage(package);
        package.fill('\0');
        // A package whose fields cannot be read is damaged whatever its check value says: there is
        // nothing the user could accept.
        if (content.status != PackageStatus::Ok) {
            Fail(Text(DamagedPackageText, language_), DecryptStatus::WrongKeyOrDamaged);
            return outcome_;
        }
        if (!content.checkValueMatches && !AcceptUnverified()) {
            content.message.fill('\0');
            outcome_.status = DecryptStatus::CheckValueRefused;
            return outcome_;
        }
        // A leading byte-order mark belongs to the message as sent; fromUtf8 would drop it.
        outcome_.message =
            QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom).decode(content.message);
        outcome_.messageBytes = content.message;
        content.message.fill('\0');
        outcome_.status = DecryptStatus::Success;
        if (request_.showMessage)
            request_.showMessage(*outcome_.message);
        if (content.fileAttached() && !SaveAttachedFile(content))
            return outcome_;
        outcome_.closingMessage = ClosingMessage(outcome_, request_);
        dialogs_.inform(outcome_.closingMessage, title_);
        return outcome_;
    }

  private:
    bool CheckInputs()
    {
        if (request_.ciphertextPath.isEmpty() && !request_.ciphertext) {
            dialogs_.inform(Text(DecryptTexts::NoCiphertextFile, language_), title_);
            return false;
        }
        if (Keys::SignificantLength(request_.quickKey) == 0) {
            Keys::ShowNoKeyMessage(dialogs_, language_, false);
            return false;
        }
        return true;
    }

    // Ciphertext file → engine body → compressed package → package. Every temporary file that held
    // plain text is shredded as soon as the next stage has consumed it, and on every stop.
    bool RecoverPackage(QByteArray& package)
    {
        using namespace DecryptTexts;
        if (!run_.AllocateEngineBuffers())
            return Fail(Text(EngineNotReady, language_));
        QString cause;
        if (!run_.MakeWorkingFolder(cause))
            return Fail(NoWorkingFolderText(run_.WorkingFolderBase(), cause, language_));
        QString errorText;
        const QString body = run_.NewTempFile(QStringLiteral("lop"), TempTreatment::DeleteOnly, errorText);
        if (body.isEmpty())
            return Fail(Text(CiphertextUnreadable, language_));
        qint64 fileLength = 0;
        if (!CopyBody(body, fileLength))
            return false;
        const QString packed = run_.NewTempFile(QStringLiteral("dec"), TempTreatment::Shred, errorText);
        if (packed.isEmpty())
            return Fail(Text(NoDecryptedTempName, language_));
        if (!DecryptBody(body, packed, fileLength))
            return false;
        return Unpack(packed, package);
    }

    // Writes the body of the ciphertext file (everything behind the header) into the working folder.
    bool CopyBody(const QString& body, qint64& fileLength)
    {
        QByteArray file;
        if (!ReadCiphertext(file) || !ToBinaryForm(file))
            return false;
        const CiphertextSplit split = SplitCiphertextFile(file);
        if (!split.ok)
            return Fail(Text(NotCiphertextFileText, language_), DecryptStatus::WrongKeyOrDamaged);
        if (split.body.isEmpty())
            return Fail(Text(DecryptTexts::NothingToDecrypt, language_), DecryptStatus::WrongKeyOrDamaged);
        fileLength = file.size();
        const QString errorText = FileProc::WriteToTempFile(split.body, body);
        if (!errorText.isEmpty())
            return Fail(FailureWithDetail(Text(DecryptTexts::BodyNotWritten, language_), body, errorText));
        return true;
    }

    bool ReadCiphertext(QByteArray& file)
    {
        if (request_.ciphertext) {
            file = request_.ciphertext->left(MaxCiphertextTextBytes + 1);
            return true;
        }
        QString errorText;
        FileProc::ReadFileToString(request_.ciphertextPath, file, MaxCiphertextTextBytes + 1, errorText);
        if (!errorText.isEmpty())
            return Fail(FailureNamingFile(Text(DecryptTexts::CiphertextUnreadable, language_), request_.ciphertextPath,
                                          errorText));
        return true;
    }

    // The binary ciphertext file, whichever form was given. Bytes that neither begin like the binary
    // file nor hold a text block go on as they are, to be refused for what they are not.
    bool ToBinaryForm(QByteArray& file)
    {
        using namespace DecryptTexts;
        if (file.size() > MaxCiphertextTextBytes)
            return Fail(Text(FileTooLarge, language_), DecryptStatus::WrongKeyOrDamaged);
        if (!Armor::LooksBinary(file) && !Unarmor(file))
            return false;
        if (file.size() > MaxCiphertextFileBytes)
            return Fail(Text(FileTooLarge, language_), DecryptStatus::WrongKeyOrDamaged);
        return true;
    }

    bool Unarmor(QByteArray& file)
    {
        using namespace DecryptTexts;
        Armor::Decoded decoded = Armor::Decode(file);
        switch (decoded.found) {
        case Armor::Found::NoBlock:
            return true;
        case Armor::Found::Ok:
            file = std::move(decoded.ciphertextFile);
            return true;
        case Armor::Found::Damaged:
            return Fail(Text(ArmorDamaged, language_), DecryptStatus::WrongKeyOrDamaged);
        case Armor::Found::Unended:
            return Fail(Text(ArmorUnended, language_), DecryptStatus::WrongKeyOrDamaged);
        case Armor::Found::TwoBlocks:
            // Not a failure of the program: the text given is not one readable message.
            return Fail(Text(ArmorTwoBlocks, language_), DecryptStatus::WrongKeyOrDamaged);
        }
        return true;
    }

    bool DecryptBody(const QString& body, const QString& packed, qint64 fileLength)
    {
        QByteArray engineKey = Keys::MakeEngineKey(request_.quickKey);
        run_.Engine().operation_initialization(engineKey.constData(), 0, fileLength, 0);
        Keys::WipeBytes(engineKey);
        const auto [code, cause] = run_.RunSlowCall([&] {
            return request_.engine.decryptFile(run_.Engine(), body.toUtf8().constData(), packed.toUtf8().constData());
        });
        run_.Discard(body);
        run_.ReleaseEngineBuffers();
        if (run_.StopRequested())
            return Stop();
        if (code == cipher_result::kOk)
            return true;
        outcome_.engineCode = code;
        if (code == cipher_result::kInputUnreadable || code == cipher_result::kOutputUnwritable)
            return WorkingFolderFailure(packed, cause);
        // Memory the key derivation could not have is no fault of the file.
        const DecryptStatus status =
            code == cipher_result::kOutOfMemory ? DecryptStatus::Failed : DecryptStatus::WrongKeyOrDamaged;
        return Fail(EngineFailureText(code, language_), status);
    }

    bool Unpack(const QString& packed, QByteArray& package)
    {
        using namespace DecryptTexts;
        if (!run_.AllocatePackerBuffers())
            return Fail(Text(PackerNotReady, language_));
        QString errorText;
        const QString plain = run_.NewTempFile(QStringLiteral("dcr"), TempTreatment::Shred, errorText);
        if (plain.isEmpty())
            return Fail(Text(NoPackageTempName, language_));
        const auto [result, cause] = run_.RunSlowCall([&] {
            return request_.engine.decompressFile(run_.PackerEngine(), packed.toUtf8().constData(),
                                                  plain.toUtf8().constData(), 0);
        });
        run_.Discard(packed);
        run_.ReleasePackerBuffers();
        if (run_.StopRequested())
            return Stop();
        if (result == packer_result::kInputUnreadable || result == packer_result::kOutputUnwritable)
            return WorkingFolderFailure(plain, cause);
        // A partial package would only show up later as a false check-value question.
        if (result != packer_result::kOk)
            return Fail(Text(DecompressionFailed, language_), DecryptStatus::WrongKeyOrDamaged);
        FileProc::ReadFileToString(plain, package, 0, errorText);
        run_.Finish();
        // The package is not shown: the user stopped before any question about it.
        if (run_.StopRequested()) {
            package.fill('\0');
            return Stop();
        }
        if (!errorText.isEmpty())
            return Fail(FailureWithDetail(Text(PackageUnreadable, language_), plain, errorText));
        return true;
    }

    bool AcceptUnverified()
    {
        using namespace DecryptTexts;
        const QString question = Text(CheckValueMismatch, language_) + CrLf + Text(MayBeAltered, language_) + CrLf +
                                 Text(AcceptAnyway, language_);
        return dialogs_.ask(QuestionId::AcceptUnverified, question, title_, DialogButtons::YesNo,
                            DialogIcon::Exclamation) == DialogAnswer::Yes;
    }

    // False when the file was not written for a reason the user has been told (no closing message).
    bool SaveAttachedFile(const PlainPackageContent& content)
    {
        using namespace DecryptTexts;
        QString name = SafeAttachedFileName(content.name);
        if (name.isEmpty()) {
            name = DerivedAttachedFileName(content.name);
            if (!Confirm(QuestionId::AcceptDerivedName, DerivedNameQuestion, name, DialogButtons::YesNo, 0))
                return NotWritten(AttachmentFate::UnsafeName, Text(UnsafeAttachedName, language_));
        }
        const QString folder = request_.attachedFileFolder.isEmpty() ? ChooseFolder(name, content.data.size())
                                                                     : request_.attachedFileFolder;
        if (folder.isEmpty())
            return Abandon();
        if (IsHiddenFileName(name) &&
            !Confirm(QuestionId::SaveUnderHiddenName, HiddenNameQuestion, name, DialogButtons::YesNo, 1))
            return Abandon();
        return SaveInto(folder, name, content.data);
    }

    // A file that appeared at the chosen name while a question was open is kept: ask again.
    bool SaveInto(const QString& folder, const QString& name, const QByteArray& data)
    {
        using namespace DecryptTexts;
        for (;;) {
            FileWrite::Existing existing = FileWrite::Existing::Keep;
            QString chosen = name;
            switch (ChooseTarget(folder, chosen, existing)) {
            case Target::Chosen:
                break;
            case Target::Declined:
                return Abandon();
            case Target::NoFreeName:
                return NotWritten(AttachmentFate::WriteFailed,
                                  FailureWithDetail(Text(WriteFailed, language_), QDir(folder).filePath(chosen),
                                                    FileProc::IoErrorText(EEXIST)));
            }
            const FileWrite::Result written = FileWrite::WriteIntoFolder(
                folder, chosen, data, {existing, FileWrite::NewFile::Private, {}, language_, {}});
            if (!written.nameTaken)
                return Written(folder, chosen, written);
        }
    }

    enum class Target { Chosen, Declined, NoFreeName };

    // A file the run reads or writes itself: the ciphertext, the key file, where the message goes.
    bool InUse(const QString& folder, const QString& name) const
    {
        if (FileWrite::IsSameFile(folder, name, request_.ciphertextPath))
            return true;
        return std::any_of(request_.filesInUse.begin(), request_.filesInUse.end(),
                           [&](const QString& path) { return FileWrite::IsSameTarget(folder, name, path); });
    }

    // Settles the name and whether an existing file may be replaced: a taken name is replaced only
    // when the user says so, a file the run uses never.
    Target ChooseTarget(const QString& folder, QString& name, FileWrite::Existing& existing)
    {
        using namespace DecryptTexts;
        const bool inUse = InUse(folder, name);
        if (!inUse && !FileWrite::NameTaken(folder, name))
            return Target::Chosen;
        const QString freeName = FileWrite::FreeName(folder, name);
        if (inUse) {
            if (freeName.isEmpty())
                return Target::NoFreeName;
            const int question = FileWrite::IsSameFile(folder, name, request_.ciphertextPath) ? CiphertextNameQuestion
                                                                                              : InUseNameQuestion;
            if (!Confirm(QuestionId::SaveUnderFreeName, question, freeName, DialogButtons::YesNo, 0))
                return Target::Declined;
            name = freeName;
            return Target::Chosen;
        }
        const QString shown = QDir::toNativeSeparators(QDir(folder).filePath(name)) + CrLf + freeName;
        switch (AskAbout(QuestionId::ReplaceAttachedFile, ReplaceQuestion, shown, DialogButtons::YesNoCancel, 1)) {
        case DialogAnswer::Yes:
            existing = FileWrite::Existing::Replace;
            return Target::Chosen;
        case DialogAnswer::No:
            if (freeName.isEmpty())
                return Target::NoFreeName;
            name = freeName;
            return Target::Chosen;
        default:
            return Target::Declined;
        }
    }

    bool Written(const QString& folder, const QString& name, const FileWrite::Result& written)
    {
        using namespace DecryptTexts;
        const QString target = QDir(folder).filePath(name);
        if (!written.ok())
            return NotWritten(AttachmentFate::WriteFailed,
                              FailureWithDetail(Text(WriteFailed, language_), target, written.error));
        outcome_.attachment = AttachmentFate::Saved;
        outcome_.writtenFilePath = QDir::toNativeSeparators(target);
        return true;
    }

    // A question about the attached file: program text `number`, a blank line, then `shown` (names).
    DialogAnswer AskAbout(QuestionId question, int number, const QString& shown, DialogButtons buttons,
                          int defaultButton)
    {
        return dialogs_.ask(question, Text(number, language_) + CrLf + CrLf + shown, title_, buttons,
                            DialogIcon::Question, defaultButton);
    }

    bool Confirm(QuestionId question, int number, const QString& shown, DialogButtons buttons, int defaultButton)
    {
        return AskAbout(question, number, shown, buttons, defaultButton) == DialogAnswer::Yes;
    }

    // The user went on without the file: the message stands, the file is not written.
    bool Abandon()
    {
        outcome_.attachment = AttachmentFate::Abandoned;
        return true;
    }

    // Lets the window show its folder controls, then asks for a folder.
    QString ChooseFolder(const QString& name, qint64 size)
    {
        if (request_.beforeFolderChoice)
            request_.beforeFolderChoice();
        return AskForFolder(name, size);
    }

    // Asks until a folder is chosen or the user gives up (""). The notice names the file and its
    // size, so the user knows what is about to be saved.
    QString AskForFolder(const QString& name, qint64 size)
    {
        using namespace DecryptTexts;
        const QString notice = Text(FileAttached, language_) + CrLf + name + QStringLiteral(" (") +
                               FileLimits::FormatSizeLimit(size, language_ == Language::German) + ')' + CrLf +
                               Text(PleaseChooseFolder, language_);
        for (;;) {
            dialogs_.inform(notice, title_);
            const QString folder = dialogs_.chooseFolder(Text(FolderPrompt, language_), StartFolder());
            if (!folder.isEmpty())
                return folder;
            const DialogAnswer goOn = dialogs_.ask(QuestionId::GoOnWithoutFolder, Text(GoOnWithoutFolder, language_),
                                                   title_, DialogButtons::YesNo, DialogIcon::None, 1);
            if (goOn == DialogAnswer::Yes)
                return {};
        }
    }

    // Where the folder chooser opens: beside the ciphertext, where the user put what came with the mail.
    QString StartFolder() const
    {
        return request_.ciphertextPath.isEmpty() ? QString() : QFileInfo(request_.ciphertextPath).absolutePath();
    }

    bool NotWritten(AttachmentFate fate, const QString& text)
    {
        outcome_.status = DecryptStatus::AttachmentNotWritten;
        outcome_.attachment = fate;
        dialogs_.inform(text, title_, DialogIcon::Exclamation);
        return false;
    }

    // The user asked to stop: the clean-up of any other stop, and no box (the user is leaving).
    bool Stop()
    {
        run_.Finish();
        outcome_.status = DecryptStatus::Stopped;
        return false;
    }

    // A read or write in the working folder failed (a full disk, a lost folder): an I/O failure that
    // names the folder and the cause, not a verdict on the file.
    bool WorkingFolderFailure(const QString& pathInFolder, int cause)
    {
        return Fail(FailureWithDetail(Text(DecryptTexts::WorkingFolderFailed, language_), pathInFolder,
                                      FileProc::IoErrorText(cause)));
    }

    // Failures: exclamation icon, OK; the run's clean-up happens before the user reads the box.
    bool Fail(const QString& text, DecryptStatus status = DecryptStatus::Failed)
    {
        run_.Finish();
        outcome_.status = status;
        dialogs_.inform(text, title_, DialogIcon::Exclamation);
        return false;
    }

    const DecryptRequest& request_;
    Dialogs& dialogs_;
    const int language_;
    const QString title_;
    PipelineRun run_;
    DecryptOutcome outcome_;
};

} // namespace

QString DecryptBusyText(int language)
{
    return BusyText(DecryptTexts::Busy, language);
}

QString EngineFailureText(int code, int language)
{
    using namespace DecryptTexts;
    QString cause;
    switch (code) {
    case -8:
        cause = Text(NotOurFile, language) + CrLf + Text(NewerVersion, language);
        break;
    case -3:
    case -4:
    case -6:
        cause = Text(WrongKey, language);
        break;
    case -5:
    case -7:
    case -9:
        cause = Text(DamagedOrCut, language);
        break;
    default:
        cause = Text(IoOrMemoryError, language);
        break;
    }
    return Text(NotDecrypted, language) + CrLf + cause;
}

DecryptOutcome DecryptMessage(const DecryptRequest& request, Dialogs& dialogs)
{
    return DecryptRun(request, dialogs).Run();
}
