#pragma once
// The encrypt pipeline: a message, and optionally one file, become one ciphertext file (the
// ZIP-like header followed by the engine output of the compressed plain package). It takes its
// inputs as data, talks to the user only through Dialogs, and returns what the window shows. The
// window and the command line run exactly this.

#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "files/WorkingFolders.h"
#include "format/RandomnessStatistics.h"
#include "pipeline/Dialogs.h"
#include "pipeline/RunControl.h"

#include <QString>

#include <functional>

// Program texts of the encrypt pipeline.
namespace EncryptTexts {
constexpr int CommandCaption = 24;  // caption of the encrypt command: the title of every box
constexpr int ReplaceQuestion = 91; // the output file exists and will be replaced
constexpr int ReplaceTitle = 92;
constexpr int MessageEmpty = 120;
constexpr int NoOutputPath = 374;
constexpr int OfferToAppend = 137; // followed by a line break and 139
constexpr int OfferToAppendMore = 139;
constexpr int Busy = 84;
constexpr int FileUnreadable = 47;
constexpr int NameTooLong = 560; // the name as it travels is empty or over 255 bytes
constexpr int NoPlainTempName = 22;
constexpr int PlainNotWritten = 19;
constexpr int NoPackedTempName = 23;
constexpr int PackerNotReady = 62;
constexpr int EngineNotReady = 33;
constexpr int EngineFailed = 32;
constexpr int OutputNotWritten = 86;
constexpr int DoneWithFile = 35;
constexpr int DoneWithoutFile = 146;
constexpr int SizeIs = 69;
constexpr int SizeUnitNote = 93;
constexpr int AttachNote = 70;
constexpr int GermanNote = 71;
constexpr int NoKeyEncrypt = 147; // the no-key box in encrypt mode
constexpr int NoKeyTitle = 382;
constexpr int MessageTooLong = 410; // the message's UTF-8 form is longer than the package can hold
constexpr int CompressionFailed = 411;
constexpr int WorkingFolderFailed = 422; // a read or write in the working folder failed (shared with decrypting)
constexpr int NoWorkingFolder = 470;     // no working folder could be made (shared with decrypting)
} // namespace EncryptTexts

// The two engine operations whose results decide the outcome, called on the run's own packer and
// engine; tests put failing or watching ones in their place, as for decryption.
struct EncryptEngine {
    std::function<int32_t(Packer& packer, const char* in, const char* out, int32_t flag)> compressFile = &Packer::cf;
    std::function<int32_t(CipherEngine& engine, const char* in, const char* out)> encryptFile =
        &CipherEngine::encrypt_file;
};

// The two forms of a ciphertext file: the binary file for an attachment, or the same bytes as an
// armored text block for the body of an e-mail.
enum class CiphertextForm { Binary, Armored };

struct EncryptRequest {
    QString message;      // the text box as the user left it
    QString fileToAppend; // "" when no file is named (the user is then offered to choose one)
    QString outputPath;   // the ciphertext file to write
    // The user agreed that a file at outputPath be replaced (asked before the run, or --force).
    // Without it a file there is never replaced: one that appears during the run is kept unless the
    // user agrees when asked then (ReplaceOutputFile).
    bool mayReplace = false;
    // The form written to outputPath (or handed back). The text form carries a smaller filler.
    CiphertextForm form = CiphertextForm::Binary;
    // No file is written: the ciphertext is only handed back in the outcome (outputPath is then
    // just the name shown for it).
    bool handBackOnly = false;
    QString quickKey; // the key as accepted; "" when none is set
    int language = 0;
    KdfLevel kdfLevel = KdfLevel::Moderate;
    QString workingFolderBase; // "" for the default place of working folders
    // When set, the run makes its working folder through this object (the window's own).
    WorkingFolders* workingFolders = nullptr;
    // Called with true when the work starts (after the last question) and with false when it is
    // over and the closing message is about to be shown. May be empty.
    std::function<void(bool busy)> showBusy;
    // The closing message goes on with the file's size and how to send it, as the window tells it;
    // a front end that says this in its own words leaves that part out.
    bool closingNamesTheWindow = true;
    // The randomness of the plain package and of the ciphertext is measured for the randomness
    // view; a front end without that view leaves it out (the outcome's measures then stay -1.0).
    bool measureRandomness = true;
    // Where the slow steps run and the flag that stops the run; empty: in place, to the end.
    RunControl control;
    EncryptEngine engine;
};

struct EncryptOutcome {
    bool success = false;
    bool stopped = false;        // the user stopped the run: no box was shown and nothing written
    QString trimmedMessage;      // the message without leading and trailing spaces
    QString fileToAppend;        // the file named or chosen, "" when none (also after a refusal)
    RandomnessReport randomness; // measures of plain package and ciphertext (-1.0: not measured)
    QString closingMessage;      // the box shown after success, "" otherwise
    QByteArray ciphertext;       // the ciphertext file in binary form after success

    bool ViewCiphertextEnabled() const { return success && randomness.BothMeasured(); }
};

// Asks before an existing output file is replaced (Yes/No, the file named, No the default). True when the path names no
// existing file, or the user agreed.
bool AskReplaceExistingOutput(Dialogs& dialogs, const QString& outputPath, int language);

// Runs the whole encryption. Every refusal and failure is shown as one box whose title is the
// encrypt command's caption; whatever the outcome, no temporary file and no working folder stay
// behind, and the output file is written only when everything before it has succeeded.
EncryptOutcome EncryptMessage(const EncryptRequest& request, Dialogs& dialogs);
