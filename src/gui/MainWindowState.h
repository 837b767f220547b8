#pragma once
// What the main window is in at this moment, without any widget, and what each of its controls
// shows because of it. Events change the state; DeriveView says, from the state alone, which
// controls are enabled and shown and which caption and tooltip each carries; the window's render
// applies that and nothing else decides it. Captions and tooltips are program-text numbers (0 for
// none), so the view does not depend on the texts loaded.
#include <QString>

enum class WindowMode { Encrypt, Decrypt };

enum class KeyState {
    None,  // no key set
    Shown, // a key set and shown in the key box
    Hidden // a key set, the box empty
};

enum class RunStage {
    Idle,    // no command runs
    Running, // a command's pipeline works or asks a question
    Stopping // the user asked the run to stop; it ends at its next safe point
};

// What the row of the attached file says in decrypt mode.
enum class AttachedFileFate {
    None,         // no file came along (the row is hidden)
    AskingFolder, // a file came along and the user is choosing its folder
    Saved,        // written; the row holds its path
    NotSaved,     // the user went on without it
    CouldNotSave  // its name was refused or the write failed
};

// The randomness view of the latest ciphertext.
enum class CiphertextView {
    None,     // no ciphertext, or the view was retired (a new key, file or text)
    Measured, // both sides measured: the view is offered
    TooShort  // made, but the message alone was too short to measure
};

struct MainWindowState {
    WindowMode mode = WindowMode::Encrypt;
    KeyState key = KeyState::None;
    RunStage stage = RunStage::Idle;
    // The command that runs (its busy line); meaningful while stage is not Idle.
    WindowMode runningCommand = WindowMode::Encrypt;
    // The key-entry window is open over the main window.
    bool keyEntryOpen = false;
    bool textEmpty = true;
    // The paths of the two file rows of each mode: [mode][row].
    QString files[2][2];
    // The latest ciphertext is held for Copy as text (until the message changes).
    bool ciphertextHeld = false;
    CiphertextView view = CiphertextView::None;
    // The file the latest encryption wrote is still there, to be sent by e-mail.
    bool ciphertextFileExists = false;
    // A mail program is being started; the send commands wait for it.
    bool mailStarting = false;
    AttachedFileFate fate = AttachedFileFate::None;
    int language = 0;

    const QString& File(int row) const { return files[mode == WindowMode::Encrypt ? 0 : 1][row]; }
    QString& File(int row) { return files[mode == WindowMode::Encrypt ? 0 : 1][row]; }
    bool Busy() const { return stage != RunStage::Idle; }
};

struct ControlView {
    bool enabled = true;
    bool visible = true;
    int caption = 0; // program-text number; 0: the control has no caption that changes
    int tooltip = 0; // program-text number; 0: none
    bool operator==(const ControlView&) const = default;
};

// Every control of the main window whose state follows the window's state.
struct MainWindowView {
    ControlView optEncrypt, optDecrypt;
    ControlView txbText;
    bool textReadOnly = false;
    ControlView cmdLoadSaveTextbox[2];
    ControlView cmdEnlargeTextbox, cmdClearTextbox;
    ControlView Frame1;
    ControlView cmdSpecifyFile[2];
    ControlView txbFile[2];
    ControlView cmdClearFile[2];
    ControlView lblAppendedFile;
    ControlView cmdQuickKey;
    // Its caption is the busy line while a command runs (0: the key box shows the key or nothing).
    ControlView txbQuickKey;
    ControlView cmdHideShowQuickKey, cmdClearQuickKey;
    ControlView lblNoKeySpecified;
    ControlView lblLanguage, cboLanguage;
    // Their tooltip carries the key's checksum after the text (KeyChecksumIs).
    ControlView cmdEncryptMessage, cmdDecryptMessage;
    ControlView cmdViewCiphertext, cmdCopyAsText;
    ControlView cmdSendByMail, cmdSendAsText;
    ControlView cmdHelp, cmdQuit;
    ControlView prgWork, cmdStop;
    ControlView lblTavolan;
};

// The view of every control in `state`; a pure function of it.
MainWindowView DeriveView(const MainWindowState& state);

// Program texts of the window's run that only the window shows.
namespace RunTexts {
constexpr int Stop = 1620;
constexpr int Stopping = 1621; // the busy line once Stop was pressed
constexpr int StopHint = 1622;
} // namespace RunTexts
