#include "pipeline/DecryptPipeline.h"

#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "files/FileLimits.h"
#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "files/IoErrorText.h"
#include "format/AttachedFileName.h"
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"
#include "keys/KeyRoutines.h"
#include "pipeline/CiphertextSource.h"
#include "pipeline/Failure.h"
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

static_assert(DecryptTexts::WorkingFolderFailed == PipelineRun::WorkingFolderFailedText);
static_assert(DecryptTexts::NoWorkingFolder == PipelineRun::NoWorkingFolderText);

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

// A key that does not fit is mended at the key; a file that is damaged or not ours by choosing the
// file that came.
Remedy EngineFailureRemedy(int code)
{
    switch (code) {
    case cipher_result::kWrongKey:
    case cipher_result::kKeyNotDerivable:
    case cipher_result::kReserved:
        return Remedy::Key;
    case cipher_result::kDamagedChunk:
    case cipher_result::kTruncated:
    case cipher_result::kNotABody:
    case cipher_result::kMalformed:
        return Remedy::CiphertextFile;
    default:
        return Remedy::None;
    }
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
        if (RecoverPackage(package))
            Deliver(ParsePlainPackage(package));
        // The fields were views into the package: once it is wiped, no plain text of it is left.
        Keys::WipeBytes(package);
        return outcome_;
    }

  private:
    void Deliver(const PlainPackageContent& content)
    {
        // A package whose fields cannot be read is damaged whatever its check value says: there is
        // nothing the user could accept.
        if (content.status != PackageStatus::Ok) {
            Fail(Failure(DamagedPackageText), DecryptStatus::WrongKeyOrDamaged);
            return;
        }
        if (!content.checkValueMatches && !AcceptUnverified()) {
            outcome_.status = DecryptStatus::CheckValueRefused;
            return;
        }
        // A leading byte-order mark belongs to the message as sent; fromUtf8 would drop it.
        outcome_.message =
            QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom).decode(content.message);
        outcome_.messageBytes = content.message.toByteArray();
        outcome_.status = DecryptStatus::Success;
        if (request_.showMessage)
            request_.showMessage(*outcome_.message);
        if (content.fileAttached() && !SaveAttachedFile(content))
            return;
        outcome_.closingMessage = ClosingMessage(outcome_, request_);
        dialogs_.inform(outcome_.closingMessage, title_);
    }

    // The file is looked at before the key: a file that is not there or not ours needs no key to
    // be refused, and the user fixes the file first.
    bool CheckInputs()
    {
        CiphertextSource source = ReadCiphertextSource(request_);
        if (!source.ok()) {
            outcome_.status = source.status;
            ShowSourceRefusal(source, dialogs_, language_);
            return false;
        }
        file_ = std::move(source.file);
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
        if (const Outcome folder = run_.MakeWorkingFolder(); !folder.ok())
            return Fail(folder.failure());
        const QString body = run_.NewTempFile(QStringLiteral("lop"), TempTreatment::DeleteOnly);
        if (body.isEmpty())
            return Fail(Failure(DecryptTexts::CiphertextUnreadable));
        qint64 fileLength = 0;
        if (!CopyBody(body, fileLength))
            return false;
        QString packed;
        return DecryptBody(body, packed, fileLength) && Unpack(packed, package);
    }

    // Writes the body of the ciphertext file (everything behind the header) into the working folder.
    bool CopyBody(const QString& body, qint64& fileLength)
    {
        const CiphertextSplit split = SplitCiphertextFile(file_);
        fileLength = file_.size();
        const QString errorText = FileProc::WriteToTempFile(split.body, body);
        if (!errorText.isEmpty())
            return Fail(Failure(DecryptTexts::BodyNotWritten).At(body).Because(errorText));
        return true;
    }

    bool DecryptBody(const QString& body, QString& packed, qint64 fileLength)
    {
        using namespace DecryptTexts;
        QByteArray engineKey = Keys::MakeEngineKey(request_.quickKey);
        run_.Engine().operation_initialization(engineKey.constData(), 0, fileLength, 0);
        Keys::WipeBytes(engineKey);
        const PipelineRun::StepOutcome step =
            run_.RunEngineStep({"dec", TempTreatment::Shred, {NoDecryptedTempName, EngineNotReady, NotDecrypted}}, body,
                               request_.engine.decryptFile);
        packed = step.output;
        if (step.ending != PipelineRun::StepEnding::Failed)
            return Settled(step);
        // Memory the key derivation could not have is no fault of the file.
        const DecryptStatus status =
            step.code == cipher_result::kOutOfMemory ? DecryptStatus::Failed : DecryptStatus::WrongKeyOrDamaged;
        return Fail(EngineFailure(step.code), status, EngineFailureRemedy(step.code));
    }

    // A partial package would only show up later as a false check-value question, so a failed
    // decompression is a damaged file.
    bool Unpack(const QString& packed, QByteArray& package)
    {
        using namespace DecryptTexts;
        const PipelineRun::StepOutcome step =
            run_.RunEngineStep({"dcr", TempTreatment::Shred, {NoPackageTempName, PackerNotReady, DecompressionFailed}},
                               packed, request_.engine.decompressFile);
        if (!Settled(step, DecryptStatus::WrongKeyOrDamaged))
            return false;
        QString errorText;
        FileProc::ReadFileToString(step.output, package, 0, errorText);
        run_.Finish();
        // The package is not shown: the user stopped before any question about it.
        if (run_.StopRequested()) {
            package.fill('\0');
            return Stop();
        }
        if (!errorText.isEmpty())
            return Fail(Failure(PackageUnreadable).At(step.output).Because(errorText));
        return true;
    }

    // True when the step is done; otherwise the run ends as the step says. failedStatus: what an
    // engine's refusal says of the file.
    bool Settled(const PipelineRun::StepOutcome& step, DecryptStatus failedStatus = DecryptStatus::Failed)
    {
        if (step.ending == PipelineRun::StepEnding::Stopped)
            return Stop();
        if (!step.failed())
            return true;
        return Fail(step.report.failure(),
                    step.ending == PipelineRun::StepEnding::Failed ? failedStatus : DecryptStatus::Failed);
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
    // A folder that cannot take the file (read-only, full, gone) is told and another folder asked for,
    // the way the first was: the user never has to decrypt again for want of a folder.
    bool SaveAttachedFile(const PlainPackageContent& content)
    {
        using namespace DecryptTexts;
        const QByteArray utf8Name = content.name.toByteArray();
        QString name = SafeAttachedFileName(utf8Name);
        if (name.isEmpty()) {
            name = DerivedAttachedFileName(utf8Name);
            if (!Confirm(QuestionId::AcceptDerivedName, DerivedNameQuestion, name, DialogButtons::YesNo, 0))
                return NotWritten(AttachmentFate::UnsafeName, Failure(UnsafeAttachedName));
        }
        const QString nameAndSize = name + QStringLiteral(" (") +
                                    FileLimits::FormatSizeLimit(content.data.size(), language_ == Language::German) +
                                    ')';
        const bool folderChosenHere = request_.attachedFileFolder.isEmpty();
        QString folder = folderChosenHere ? ChooseFolder(Text(FileAttached, language_) + CrLf + nameAndSize + CrLf +
                                                             Text(PleaseChooseFolder, language_),
                                                         DialogIcon::None)
                                          : request_.attachedFileFolder;
        if (folder.isEmpty())
            return Abandon();
        if (IsHiddenFileName(name) &&
            !Confirm(QuestionId::SaveUnderHiddenName, HiddenNameQuestion, name, DialogButtons::YesNo, 1))
            return Abandon();
        for (;;) {
            // Written from the package itself: no second copy of the file's plain text.
            const Outcome saved =
                SaveInto(folder, name, QByteArray::fromRawData(content.data.data(), content.data.size()));
            if (saved.ok())
                return true;
            if (!folderChosenHere)
                return NotWritten(AttachmentFate::WriteFailed, saved.failure());
            folder = ChooseFolder(saved.failure().Message(language_) + CrLf + CrLf + nameAndSize + CrLf +
                                      Text(ChooseAnotherFolder, language_),
                                  DialogIcon::Exclamation);
            if (folder.isEmpty())
                return Abandon();
        }
    }

    // Succeeds when the file was written, or the user chose not to save it; fails with why it could
    // not be written into this folder. A file that appeared at the chosen name while a question was
    // open is kept: ask again.
    Outcome SaveInto(const QString& folder, const QString& name, const QByteArray& data)
    {
        using namespace DecryptTexts;
        for (;;) {
            FileWrite::Existing existing = FileWrite::Existing::Keep;
            QString chosen = name;
            switch (ChooseTarget(folder, chosen, existing)) {
            case Target::Chosen:
                break;
            case Target::Declined:
                Abandon();
                return {};
            case Target::NoFreeName:
                return Failure(WriteFailed).At(QDir(folder).filePath(chosen)).Because(FileProc::IoErrorText(EEXIST));
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
        switch (AskToReplace(shown)) {
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

    Outcome Written(const QString& folder, const QString& name, const FileWrite::Result& written)
    {
        const QString target = QDir(folder).filePath(name);
        if (!written.ok())
            return Failure(DecryptTexts::WriteFailed).At(target).Because(written.error);
        outcome_.attachment = AttachmentFate::Saved;
        outcome_.writtenFilePath = QDir::toNativeSeparators(target);
        return {};
    }

    // A question about the attached file: program text `number`, a blank line, then `shown` (names).
    DialogAnswer AskAbout(QuestionId question, int number, const QString& shown, DialogButtons buttons,
                          int defaultButton)
    {
        return dialogs_.ask(question, Text(number, language_) + CrLf + CrLf + shown, title_, buttons,
                            DialogIcon::Question, defaultButton);
    }

    // Replace (Yes), Keep both (No, the default: nothing is lost) or Do not save (Cancel).
    DialogAnswer AskToReplace(const QString& shown)
    {
        using namespace DecryptTexts;
        MessageRequest request{Text(ReplaceQuestion, language_) + CrLf + CrLf + shown,
                               title_,
                               DialogIcon::Question,
                               DialogButtons::YesNoCancel,
                               1,
                               QuestionId::ReplaceAttachedFile};
        request.captions = {Text(ReplaceButton, language_), Text(KeepBothButton, language_),
                            Text(DoNotSaveButton, language_)};
        return dialogs_.message(request);
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
    QString ChooseFolder(const QString& notice, DialogIcon icon)
    {
        if (request_.beforeFolderChoice)
            request_.beforeFolderChoice();
        return AskForFolder(notice, icon);
    }

    // Asks until a folder is chosen or the user gives up (""). The notice names the file and its
    // size, so the user knows what is about to be saved.
    QString AskForFolder(const QString& notice, DialogIcon icon)
    {
        using namespace DecryptTexts;
        for (;;) {
            dialogs_.inform(notice, title_, icon);
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

    bool NotWritten(AttachmentFate fate, const Failure& failure)
    {
        outcome_.status = DecryptStatus::AttachmentNotWritten;
        outcome_.attachment = fate;
        dialogs_.inform(failure.Message(language_), title_, DialogIcon::Exclamation);
        return false;
    }

    // The user asked to stop: the clean-up of any other stop, and no box (the user is leaving).
    bool Stop()
    {
        run_.Finish();
        outcome_.status = DecryptStatus::Stopped;
        return false;
    }

    // Failures: exclamation icon, OK; the run's clean-up happens before the user reads the box.
    bool Fail(const Failure& failure, DecryptStatus status = DecryptStatus::Failed, Remedy remedy = Remedy::None)
    {
        run_.Finish();
        outcome_.status = status;
        dialogs_.inform(failure.Message(language_), title_, DialogIcon::Exclamation, remedy);
        return false;
    }

    const DecryptRequest& request_;
    Dialogs& dialogs_;
    const int language_;
    const QString title_;
    PipelineRun run_;
    QByteArray file_; // the ciphertext file in binary form, checked by CheckInputs
    DecryptOutcome outcome_;
};

} // namespace

Failure EngineFailure(int code)
{
    return Failure(DecryptTexts::NotDecrypted).Because(EngineCauseTexts(code));
}

DecryptOutcome DecryptMessage(const DecryptRequest& request, Dialogs& dialogs)
{
    return DecryptRun(request, dialogs).Run();
}
