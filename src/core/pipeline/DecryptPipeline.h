#pragma once
// The decrypt pipeline: a ciphertext file becomes the message it carries and, when the sender
// attached one, a file in a folder the user chooses. It takes its inputs as data, talks to the user
// only through Dialogs, and returns what happened; each front end shows that its own way. The window
// and the command line run exactly this.

#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "files/WorkingFolders.h"
#include "pipeline/Dialogs.h"
#include "pipeline/Failure.h"
#include "pipeline/RunControl.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Program texts of the decrypt pipeline.
namespace DecryptTexts {
constexpr int CommandCaption = 25; // caption of the decrypt command: the title of every box
constexpr int Busy = 85;
constexpr int NoCiphertextFile = 138;
constexpr int EngineNotReady = 34;
constexpr int PackerNotReady = 63;
constexpr int CiphertextUnreadable = 87; // also: no temporary name for the body
constexpr int BodyNotWritten = 86;
constexpr int NoDecryptedTempName = 22;
constexpr int NoPackageTempName = 23;
constexpr int PackageUnreadable = 20;
constexpr int NotDecrypted = 148; // followed by the cause the engine's code stands for
constexpr int WrongKey = 150;
constexpr int DamagedOrCut = 151;
constexpr int IoOrMemoryError = 152;
constexpr int NotOurFile = 153;
constexpr int NewerVersion = 154;
constexpr int CheckValueMismatch = 21; // followed by 55 and the question 56
constexpr int MayBeAltered = 55;
constexpr int AcceptAnyway = 56;
constexpr int FileAttached = 65; // followed by the file's name and size and 66, before the folder chooser
constexpr int PleaseChooseFolder = 66;
constexpr int FolderPrompt = 394;
constexpr int GoOnWithoutFolder = 73;
// What the front ends say of the attached file.
constexpr int FolderCaption = 17; // while a folder is asked for
constexpr int SavedAs = 37;       // the file was written, followed by ':' and its path
constexpr int NotSaved = 41;      // the user went on without the file
constexpr int CouldNotSave = 43;  // the name was refused or the write failed
constexpr int WriteFailed = 31;
constexpr int Decrypted = 67;
constexpr int DecryptedAndSaved = 68;
constexpr int FileNotSaved = 74;
constexpr int NowInTextBox = 106;
constexpr int ToReplyClick = 107;
constexpr int EncryptOption = 1; // caption of optEncrypt, quoted in the closing message
constexpr int UnsafeAttachedName = 415;
constexpr int DecompressionFailed = 416;
constexpr int FileTooLarge = 417;    // larger than any ciphertext file can be
constexpr int ReplaceQuestion = 505; // the attached name is taken in the folder: replace, keep both, do not save
constexpr int ReplaceButton = 502;
constexpr int KeepBothButton = 503; // saves the attached file under the free name
constexpr int DoNotSaveButton = 504;
constexpr int DerivedNameQuestion = 419;    // the sender's name is refused: save under the derived name?
constexpr int HiddenNameQuestion = 420;     // the name begins with a dot: save a hidden file?
constexpr int NothingToDecrypt = 421;       // the ciphertext file has an empty body
constexpr int WorkingFolderFailed = 422;    // a read or write in the working folder failed
constexpr int NoWorkingFolder = 470;        // no working folder could be made
constexpr int CiphertextNameQuestion = 424; // the attached name is the file being decrypted: free name?
constexpr int ArmorDamaged = 450;           // the text block holds foreign characters or altered Base64
constexpr int ArmorUnended = 451;           // the text block's end line is missing
constexpr int ArmorTwoBlocks = 452;
constexpr int ReadFrom = 472;            // followed by the file's name, or by 473
constexpr int TextBlockInTextBox = 473;  // the ciphertext was a block in the window's text box
constexpr int InUseNameQuestion = 492;   // the attached name is a file the run uses: free name?
constexpr int CheckTheFile = 500;        // after a refusal naming the ciphertext file: what to do next
constexpr int ChooseAnotherFolder = 501; // the chosen folder could not take the attached file
} // namespace DecryptTexts

enum class DecryptStatus {
    Success,              // the message was recovered; an attached file was written or knowingly left
    Failed,               // refused or failed before a message was recovered (no file, no key, I/O, memory)
    WrongKeyOrDamaged,    // wrong key, or a file or package that is damaged, cut short or not ours
    CheckValueRefused,    // the check value did not match and the user chose not to go on
    AttachmentNotWritten, // the message was recovered; the attached file was refused or could not be written
    Stopped               // the user stopped the run: no box was shown, nothing was recovered or written
};

// What became of the file the sender attached.
enum class AttachmentFate {
    None,       // no file came along (or no message was recovered)
    Saved,      // written into the chosen folder: DecryptOutcome::writtenFilePath
    Abandoned,  // the user went on without the file (no folder, or declined a question about its name)
    UnsafeName, // refused: the user declined the safe name offered for one that could mislead or escape
    WriteFailed // the write into the chosen folder failed; nothing of it is there
};

// The two engine operations whose results decide the outcome; tests put failing or watching ones in
// their place, as for encryption.
struct DecryptEngine {
    std::function<int32_t(CipherEngine& engine, const char* in, const char* out)> decryptFile =
        &CipherEngine::decrypt_file;
    std::function<int32_t(Packer& packer, const char* in, const char* out, int32_t flag)> decompressFile = &Packer::dcf;
};

// No ciphertext file comes near this size (the largest package, incompressible, sealed: about
// 2.2 MB); a larger file is refused before it is read into memory.
constexpr qint64 MaxCiphertextFileBytes = 4 * 1024 * 1024;
// The armored form of such a file with room for the quote marks and line breaks of an e-mail.
constexpr qint64 MaxCiphertextTextBytes = 2 * MaxCiphertextFileBytes;

struct DecryptRequest {
    QString ciphertextPath; // txbFile(0); "" when none is named
    // The ciphertext itself, in either form, when it comes from elsewhere than a file (the text box,
    // standard input); it is then used instead of ciphertextPath.
    std::optional<QByteArray> ciphertext;
    QString quickKey; // the key as accepted; "" when none is set
    int language = 0;
    QString workingFolderBase; // "" for the default place of working folders
    // When set, the run makes its working folder through this object (the window's own).
    WorkingFolders* workingFolders = nullptr;
    // Called just before the user is asked for a folder for the attached file, so the window can
    // show its folder controls behind the chooser. May be empty.
    std::function<void()> beforeFolderChoice;
    // Called with the recovered message as soon as it is known, before any question about an
    // attached file, so the user reads it first. May be empty.
    std::function<void(const QString& message)> showMessage;
    // When set, an attached file goes into this folder without a question (the command line, which
    // knows it from its options); otherwise the user is asked to choose one.
    QString attachedFileFolder;
    // Files of the run that the attached file never replaces, whatever the answers (the key file,
    // where the message goes); a name that is one of them is offered as a free name instead.
    QStringList filesInUse;
    // The closing message names what was read (the file's name, or for `ciphertext` the text block
    // in the window's text box) and ends with where the message now is and how to reply in the
    // window; a front end without the window leaves that part out.
    bool closingNamesTheWindow = true;
    // Where the slow steps run and the flag that stops the run; empty: in place, to the end.
    RunControl control;
    DecryptEngine engine;
};

struct DecryptOutcome {
    DecryptStatus status = DecryptStatus::Failed;
    std::optional<QString> message; // the recovered message; empty when none was recovered
    QByteArray messageBytes;        // the message exactly as the package carries it (may not be UTF-8)
    AttachmentFate attachment = AttachmentFate::None;
    QString writtenFilePath; // full path (native separators) of the written file, else ""
    QString closingMessage;  // the last box after a whole run, "" otherwise
};

// A failed decrypt_file (code != 0): 148, then the cause its code stands for.
Failure EngineFailure(int code);

// Runs the whole decryption. The ciphertext may be the binary file or its armored text form, alone
// or inside other text (an e-mail). Every box has the decrypt command's caption as its title. Whatever the
// outcome, no temporary file and no working folder stay behind, and an attached file is written
// (whole or not at all) only under a safe name, into the chosen folder. It replaces an existing file
// only when the user answers Yes (Replace) to the question of text 505, is saved under a name beginning with
// "." only after Yes to text 420, and never replaces the ciphertext file being decrypted or one of
// request.filesInUse. A file that appears at the chosen name meanwhile is kept, and the name asked
// about again.
// A Dialogs that cannot choose a folder must answer Yes to the question of text 73, or the folder
// question is asked again.
DecryptOutcome DecryptMessage(const DecryptRequest& request, Dialogs& dialogs);
