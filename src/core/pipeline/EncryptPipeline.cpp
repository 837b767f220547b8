#include "pipeline/EncryptPipeline.h"

#include "files/FileLimits.h"
#include "files/FileProc.h"
#include "files/FileWrite.h"
#include "format/ArmoredText.h"
#include "format/DecorationSeed.h"
#include "format/FakeZipHeader.h"
#include "format/FileName.h"
#include "format/PlainPackage.h"
#include "format/RandomText.h"
#include "keys/KeyRoutines.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/Failure.h"
#include "pipeline/PipelineMessages.h"
#include "pipeline/PipelineRun.h"
#include "texts/Language.h"
#include "texts/NumberLocale.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

static_assert(EncryptTexts::WorkingFolderFailed == PipelineRun::WorkingFolderFailedText);
static_assert(EncryptTexts::NoWorkingFolder == PipelineRun::NoWorkingFolderText);

const QString CrLf = QStringLiteral("\r\n");

// Filler that stands in for the file when none is appended: its length hides the message length.
// The text form, meant for the body of an e-mail, takes a smaller one, so that a short message stays
// a short block; it still hides the length of any message that compresses to under 2,000 bytes.
struct FillerRange {
    int least;
    int most;
};
constexpr FillerRange BinaryFiller{20000, 50000};
constexpr FillerRange TextFiller{1000, 3000};

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

// Only spaces count, as in the text box: line breaks the user typed belong to the message.
QString TrimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

class EncryptRun {
  public:
    EncryptRun(const EncryptRequest& request, Dialogs& dialogs)
        : request_(request), dialogs_(dialogs), language_(request.language),
          title_(Text(EncryptTexts::CommandCaption, request.language)),
          run_(request.workingFolderBase, request.workingFolders, request.control, request.kdfLevel)
    {
    }
    // The message's bytes are plain text.
    ~EncryptRun() { Keys::WipeBytes(messageBytes_); }

    EncryptOutcome Run()
    {
        outcome_.trimmedMessage = TrimSpaces(request_.message);
        outcome_.fileToAppend = request_.fileToAppend;
        if (!CheckInputs())
            return outcome_;
        OfferToAppendFile();
        SetBusy(true);
        const bool done = Encrypt();
        SetBusy(false);
        if (done)
            Report();
        return outcome_;
    }

  private:
    // Refusals that come before any work, so that nothing is written for them.
    bool CheckInputs()
    {
        if (Keys::SignificantLength(request_.quickKey) == 0) {
            dialogs_.inform(Text(EncryptTexts::NoKeyEncrypt, language_), Text(EncryptTexts::NoKeyTitle, language_),
                            DialogIcon::None, Remedy::Key);
            return false;
        }
        if (outcome_.trimmedMessage.isEmpty())
            return Inform(EncryptTexts::MessageEmpty, Remedy::Message);
        if (request_.outputPath.isEmpty() && !request_.handBackOnly)
            return Inform(EncryptTexts::NoOutputPath, Remedy::OutputFile);
        messageBytes_ = outcome_.trimmedMessage.toUtf8();
        // The package's length field has five digits.
        if (messageBytes_.size() > MaxMessageBytes)
            return Fail(Failure(EncryptTexts::MessageTooLong), Remedy::Message);
        return true;
    }

    void OfferToAppendFile()
    {
        if (!outcome_.fileToAppend.isEmpty())
            return;
        const QString question =
            Text(EncryptTexts::OfferToAppend, language_) + CrLf + Text(EncryptTexts::OfferToAppendMore, language_);
        if (dialogs_.ask(QuestionId::OfferToAppendFile, question, title_, DialogButtons::YesNo, DialogIcon::Question,
                         1) == DialogAnswer::Yes)
            outcome_.fileToAppend = ChooseFileToAppend(dialogs_, language_);
    }

    // The package is plain text: wiped before it is freed, whatever the outcome.
    bool Encrypt()
    {
        QByteArray package; // head and payload, without the check value
        const bool done = LoadHeadAndPayload(package) && Seal(package);
        Keys::WipeBytes(package);
        return done;
    }

    bool Seal(const QByteArray& package)
    {
        if (const Outcome folder = run_.MakeWorkingFolder(); !folder.ok())
            return Fail(folder.failure());
        MeasurePlaintext(package);
        QString packed;
        return Compress(package, packed) && EncryptAndWrite(packed);
    }

    // The file is read straight behind the head, so the package is never copied whole.
    bool LoadHeadAndPayload(QByteArray& package)
    {
        const QString& path = outcome_.fileToAppend;
        if (path.isEmpty()) {
            const FillerRange filler = request_.form == CiphertextForm::Armored ? TextFiller : BinaryFiller;
            StartPackage(package, PlainPackageHead(messageBytes_, QByteArray()), filler.most);
            package += RandomString(fillerRng_, filler.least, filler.most, 1, 254, false);
            return true;
        }
        const QString name = FileNameFromPath(path, true);
        const QByteArray attachedName = name.toUtf8();
        const bool nameFits = FileLimits::FileNameLengthOk(name) && attachedName.size() <= MaxNameBytes;
        // Never more than the limit and one byte: a file that grew since it was chosen (even to a
        // huge sparse file) is then refused below instead of filling the memory.
        const qint64 readLimit = FileLimits::MaxAppendedFileSize + 1;
        StartPackage(package, PlainPackageHead(messageBytes_, nameFits ? attachedName : QByteArray()),
                     std::min(QFileInfo(path).size(), readLimit));
        QString errorText;
        FileProc::AppendFileToString(path, package, readLimit, errorText, FileProc::FileKind::RegularOnly);
        if (!errorText.isEmpty())
            return Fail(Failure(EncryptTexts::FileUnreadable).Because(errorText), Remedy::FileToAppend);
        // The reader refuses larger packages, so a file that grew since it was chosen would make a
        // ciphertext nobody can open.
        if (package.size() - headSize_ > FileLimits::MaxAppendedFileSize) {
            run_.Finish();
            FileTooLargeToAttach(dialogs_, path, package.size() - headSize_, language_);
            return false;
        }
        if (!nameFits)
            return Fail(Failure(EncryptTexts::NameTooLong), Remedy::FileToAppend);
        return true;
    }

    // The package begins with head, in a buffer with room for the payload: growing it later would
    // free the block that holds the message unwiped.
    void StartPackage(QByteArray& package, QByteArray head, qint64 payloadSize)
    {
        headSize_ = head.size();
        package.reserve(headSize_ + payloadSize);
        package += head;
        Keys::WipeBytes(head);
    }

    // With a file, the measure covers the file; without one, only the fields and the message (the
    // filler is random by construction and would say nothing about the message).
    void MeasurePlaintext(const QByteArray& package)
    {
        if (!request_.measureRandomness)
            return;
        if (outcome_.fileToAppend.isEmpty()) {
            QByteArray head = package.first(headSize_);
            ShowPlaintextStatistics(outcome_.randomness, head, language_);
            Keys::WipeBytes(head);
        } else
            ShowPlaintextStatistics(outcome_.randomness, package, language_);
    }

    bool Compress(const QByteArray& package, QString& packed)
    {
        using namespace EncryptTexts;
        const QString plain = run_.NewTempFile(QStringLiteral("plt"), TempTreatment::Shred);
        if (plain.isEmpty())
            return Fail(Failure(NoPlainTempName));
        const QString errorText = FileProc::WriteToTempFile(package, plain, PlainPackageCheckValue(package));
        if (!errorText.isEmpty())
            return Fail(Failure(PlainNotWritten).At(plain).Because(errorText));
        const PipelineRun::StepOutcome step =
            run_.RunEngineStep({"cpr", TempTreatment::Shred, {NoPackedTempName, PackerNotReady, CompressionFailed}},
                               plain, request_.engine.compressFile);
        packed = step.output;
        return Settled(step);
    }

    // The engine writes into the working folder; the chosen path is replaced in one step at the
    // end, so an existing file stays whole whatever fails before. A stopped run leaves no output,
    // not even a whole one; any result but 0 means the body cannot be trusted to be whole.
    bool EncryptAndWrite(const QString& packed)
    {
        using namespace EncryptTexts;
        QByteArray engineKey = Keys::MakeEngineKey(request_.quickKey);
        run_.Engine().operation_initialization(engineKey.constData(), 1, QFileInfo(packed).size(), 0);
        Keys::WipeBytes(engineKey);
        const PipelineRun::StepOutcome step =
            run_.RunEngineStep({"enc", TempTreatment::DeleteOnly, {NoPackedTempName, EngineNotReady, EngineFailed}},
                               packed, request_.engine.encryptFile);
        return Settled(step) && WrapAndWrite(step.output);
    }

    // True when the step is done; otherwise the run ends as the step says.
    bool Settled(const PipelineRun::StepOutcome& step)
    {
        if (step.ending == PipelineRun::StepEnding::Stopped)
            return Stop();
        return !step.failed() || Fail(step.report.failure());
    }

    // The engine output is read straight behind the header made for its size: one buffer, kept for
    // the randomness view, which would otherwise read the file just written.
    bool WrapAndWrite(const QString& body)
    {
        const qint64 bodySize = QFileInfo(body).size();
        ciphertext_ = MakeFakeZipHeader(decorationRng_, bodySize);
        const qsizetype headerSize = ciphertext_.size();
        ciphertext_.reserve(headerSize + bodySize);
        QString errorText;
        FileProc::AppendFileToString(body, ciphertext_, 0, errorText);
        if (errorText.isEmpty() && ciphertext_.size() - headerSize != bodySize)
            errorText = QStringLiteral("The file changed while it was read.");
        if (!errorText.isEmpty())
            return Fail(Failure(EncryptTexts::FileUnreadable).Because(errorText));
        if (request_.handBackOnly)
            return true;
        return WriteOutput(request_.form == CiphertextForm::Armored ? Armor::Encode(ciphertext_) : ciphertext_);
    }

    // A file that appeared at the output's name during the run is kept unless the user agrees now.
    bool WriteOutput(const QByteArray& bytes)
    {
        FileWrite::Options options{request_.mayReplace ? FileWrite::Existing::Replace : FileWrite::Existing::Keep,
                                   FileWrite::NewFile::UserDefault,
                                   {},
                                   language_,
                                   {}};
        for (;;) {
            const FileWrite::Result written = FileWrite::WriteUserFile(request_.outputPath, bytes, options);
            if (written.ok())
                return true;
            if (!written.nameTaken)
                return Fail(Failure(EncryptTexts::OutputNotWritten).At(request_.outputPath).Because(written.error),
                            Remedy::OutputFile);
            if (!AskReplaceExistingOutput(dialogs_, request_.outputPath, language_))
                return Kept();
            options.existing = FileWrite::Existing::Replace;
        }
    }

    // The user keeps the file that is there: nothing is written, and nothing more needs saying.
    bool Kept()
    {
        run_.Finish();
        return false;
    }

    void Report()
    {
        if (request_.measureRandomness)
            ShowCiphertextStatistics(outcome_.randomness, request_.outputPath, ciphertext_, language_);
        outcome_.closingMessage = ClosingMessage();
        outcome_.success = true;
        outcome_.ciphertext = ciphertext_;
        run_.Finish();
        dialogs_.inform(outcome_.closingMessage, title_);
    }

    QString ClosingMessage() const
    {
        QString text = Text(
            outcome_.fileToAppend.isEmpty() ? EncryptTexts::DoneWithoutFile : EncryptTexts::DoneWithFile, language_);
        if (!request_.closingNamesTheWindow)
            return text;
        const qsizetype written =
            request_.form == CiphertextForm::Armored ? Armor::EncodedSize(ciphertext_.size()) : ciphertext_.size();
        const double kilobytes = written / 1024.0;
        text += CrLf + CrLf + Text(EncryptTexts::SizeIs, language_) + ' ' +
                NumberLocale(language_).toString(kilobytes, 'f', 2) + QStringLiteral(" KB ") +
                Text(EncryptTexts::SizeUnitNote, language_);
        text += CrLf + Text(EncryptTexts::AttachNote, language_);
        if (language_ == Language::German)
            text += CrLf + Text(EncryptTexts::GermanNote, language_);
        return text;
    }

    void SetBusy(bool busy) const
    {
        if (request_.showBusy)
            request_.showBusy(busy);
    }

    // A box without icon for the plain refusals at the start.
    bool Inform(int textNumber, Remedy remedy)
    {
        dialogs_.inform(Text(textNumber, language_), title_, DialogIcon::None, remedy);
        return false;
    }

    // The user asked to stop: the clean-up of any other stop, and no box (the user is leaving).
    bool Stop()
    {
        run_.Finish();
        outcome_.stopped = true;
        return false;
    }

    // Failures: exclamation icon, OK; the run's clean-up happens before the user reads the box.
    bool Fail(const Failure& failure, Remedy remedy = Remedy::None)
    {
        run_.Finish();
        dialogs_.inform(failure.Message(language_), title_, DialogIcon::Exclamation, remedy);
        return false;
    }

    const EncryptRequest& request_;
    Dialogs& dialogs_;
    const int language_;
    const QString title_;
    PipelineRun run_;
    // Fresh seeds for every file, one for each: see DecorationSeed.h.
    RandomSource fillerRng_ = FreshRandomSource();
    RandomSource decorationRng_ = FreshRandomSource();
    QByteArray messageBytes_;
    qsizetype headSize_ = 0; // of the package: length fields, message and name
    QByteArray ciphertext_;  // as written to the output file
    EncryptOutcome outcome_;
};

} // namespace

bool AskReplaceExistingOutput(Dialogs& dialogs, const QString& outputPath, int language)
{
    if (!FileProc::FileExists(outputPath))
        return true;
    // Names the file, since the user may not have typed that name; No is the safe default.
    const QString question =
        Text(EncryptTexts::ReplaceQuestion, language) + CrLf + QDir::toNativeSeparators(outputPath);
    return dialogs.ask(QuestionId::ReplaceOutputFile, question, Text(EncryptTexts::ReplaceTitle, language),
                       DialogButtons::YesNo, DialogIcon::Question, 1) == DialogAnswer::Yes;
}

EncryptOutcome EncryptMessage(const EncryptRequest& request, Dialogs& dialogs)
{
    return EncryptRun(request, dialogs).Run();
}
