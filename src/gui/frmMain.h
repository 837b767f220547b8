#pragma once
// The main window: it owns every piece of user state for the whole run (message, mode, file fields,
// key, language, randomness measures) and keeps it to itself. Each area of the window has its own
// source file beside this header:
//   frmMain.cpp           start-up, modes, language, captions, status clock, focus
//   frmMain_render.cpp    the one place that enables, shows and captions the controls
//   frmMain_keys.cpp      key controls
//   frmMain_files.cpp     file fields
//   frmMain_encrypt.cpp   encrypt command
//   frmMain_decrypt.cpp   decrypt command
//   frmMain_mail.cpp      sending the latest ciphertext file by e-mail
//   frmMain_tools.cpp     text-box tools, help, web links, quitting
// Every control carries its name as Qt object name (array members with the index appended), so tests
// and the screenshot program reach them with findChild; the public members are the window's event
// handlers and the few states the window's behaviour reads back.

#include "engines/CipherEngine.h"
#include "engines/StopFlag.h"
#include "files/WorkingFolders.h"
#include "gui/MainWindowState.h"
#include "gui/WorkerThreadRunner.h"
#include "mail/DesktopLauncher.h"
#include "mail/MailDraft.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QWidget>

#include <optional>

class Dialogs;
enum class Remedy;
struct DecryptOutcome;
struct EncryptOutcome;
class QComboBox;
class QDragMoveEvent;
class QDropEvent;
class QFileSystemWatcher;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

// Secondary windows, made on first use by the areas that own them (children of the main window).
class frmKeyboardWithDisplay;
class LinkLabel;
class frmLargeTextbox;
class frmView;
class frmRandomnessGraphic;
class WorkInputGuard;

class frmMain : public QWidget {
    Q_OBJECT

  public:
    // workingFolderBase: where the working folders are made; "" for the default place.
    explicit frmMain(Dialogs& dialogs, const QString& workingFolderBase = QString(), QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- Event handlers ----
    // Runs after the program texts are loaded: initialises, applies the stored language, shows the
    // window and starts the clock.
    void Form_Load();
    void optEncrypt_Click();
    void optDecrypt_Click();
    void cboLanguage_Click();
    void Clock_Timer();
    void cmdQuickKey_Click();
    void txbQuickKey_Click();
    void cmdHideShowQuickKey_Click();
    void cmdClearQuickKey_Click();
    void cmdSpecifyFile_Click(int index);
    void cmdClearFile_Click(int index);
    void txbFile_Click(int index);
    void cmdEncryptMessage_Click();
    void cmdViewCiphertext_Click();
    // Puts the latest ciphertext on the clipboard as its armored text block.
    void cmdCopyAsText_Click();
    // Open the mail program with a new e-mail carrying the latest ciphertext file: attached, or as
    // its text block in the body.
    void cmdSendByMail_Click();
    void cmdSendAsText_Click();
    void cmdDecryptMessage_Click();
    void cmdLoadSaveTextbox_Click(int index);
    void cmdClearTextbox_Click();
    void txbText_Change();
    void lblClipboard_Click();
    void cmdEnlargeTextbox_Click();
    void cmdHelp_Click();
    void cmdHelp_KeyUp(int key);
    void Form_KeyUp(int key);
    void lblTavolan_Click();
    void cmdQuit_Click();
    // Stops the running command at its next safe point; the window then shows what it showed
    // before the run.
    void cmdStop_Click();
    // `quillet FILE`: decrypt mode with the received file in the file field, ready for the key.
    void OpenReceivedFile(const QString& path);
    // Applies the captions of the current language again.
    void SetLanguageDependentProgramText();

    // ---- States the behaviour reads back ----
    // A key is set and hidden: cmdHideShowQuickKey offers to show it and the key box is empty.
    bool KeyHidden() const;
    // A command runs and has borrowed txbQuickKey as its busy line.
    bool BusyLineShown() const { return State.Busy(); }
    // The key as accepted in the key-entry window, "" when none is set.
    const QString& QuickKeyText() const { return QuickKey; }
    // Language index of the captions (Language::English or Language::German).
    int ShownLanguage() const { return State.language; }
    // Randomness of the last plain package (side 0) and ciphertext (side 1); -1.0 when not measured.
    double RandomnessMeasure(int side) const { return RM[side]; }
    // A command's pipeline is running (from BeginWork to EndWork); only Stop, Quit, Tab and Escape
    // reach the window meanwhile.
    bool Working() const { return State.Busy(); }
    // The strength of the key derivation the encrypt command asks for; tests and tools choose a
    // faster or a slower one.
    void SetKdfLevel(KdfLevel level) { EncryptKdfLevel = level; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override; // frmMain_tools.cpp
    void changeEvent(QEvent* event) override;     // frmMain_access.cpp

  private:
    // ---- Building, modes, language, status (frmMain.cpp) ----
    void BuildControls();
    void ConnectHandlers();
    void InitialiseMainWindow();
    void ApplyProgramTexts();
    void FillLanguageList();
    void FitButtonsToCaptions();
    void SwitchMode(WindowMode mode);
    void SetTheFocus();
    void ClearRM();
    void ShowTextboxSize();
    void ShowClipboardSize();
    // Program text `number` in the current language.
    QString ProgramText(int number) const;
    // Gives every command of the window an access key of its own in the current language.
    void MarkCaptions();
    // The caption `number` of `control` with its access key (the plain text when it has none).
    QString Caption(const QWidget* control, int number) const;
    // The view of the last ciphertext's randomness belongs to it alone: a new key, a changed text or
    // a decryption retires it in both modes.
    void RetireCiphertextView();

    // ---- Render (frmMain_render.cpp) ----
    // Applies DeriveView(State) to the controls: the only code that enables, shows or captions them.
    void Render();
    void RenderModes();
    void RenderFileRows();
    // The key box: the busy line (busyText set), else the key while it is shown, else empty.
    void RenderKeyBox(int busyText);

    // ---- Key controls (frmMain_keys.cpp) ----
    void NoKeyMessage();
    // Empties the key box and overwrites the text it held.
    void EmptyKeyBox();
    // The key in the box, in a buffer of its own.
    void ShowKeyInBox();
    // True when the user chose to see the hidden key; the calling command then stops.
    bool AskToShowHiddenKey();
    // Overwrites the key wherever the window holds it (quitting); the controls show "no key".
    void WipeKey();
    void ForgetKey();
    frmKeyboardWithDisplay& KeyEntryWindow();

    // ---- File fields (frmMain_files.cpp) ----
    // The chosen folder, "" when cancelled.
    QString BrowseForFolder(const QString& prompt);
    // Where a chooser of row `index` opens: at the row's file, else in the last folder used (the
    // output row with a suggested name there).
    QString StartPathFor(int index) const;
    // Keeps the folder of a path the user chose, for the next chooser.
    void RememberFolder(const QString& path);
    // Drag and drop onto txbFile(index) (enter and move both come to DragOver); true when the event
    // was handled here, false to leave it to the text box.
    bool txbFile_DragOver(int index, QDragMoveEvent* event);
    bool txbFile_DragDrop(int index, QDropEvent* event);
    // What a file row holds in the mode shown.
    enum class RowKind { FileToAppend, OutputFile, CiphertextFile, Folder };
    RowKind KindOfRow(int index) const;
    bool FitsRow(int index, const QString& path) const;
    void ShowPath(int index, const QString& path);
    // A file field changed (by the user's choice or by the program): the state follows it.
    void txbFile_Change(int index);
    void TakeFolder(const QString& folder);
    // After a message: the focus on the control that mends what it said (frmMain_remedies.cpp); with
    // nothing to mend, or that control out of reach, on the likely next command (SetTheFocus).
    void FocusOn(Remedy remedy);
    // A ciphertext file that is missing or not ours is refused before the key is asked for; true
    // when it was (the box shown, the focus on the ciphertext row).
    bool RefuseCiphertextSource(const QString& path, const std::optional<QByteArray>& block);

    // ---- Encrypt and decrypt commands (frmMain_encrypt.cpp, frmMain_decrypt.cpp) ----
    frmRandomnessGraphic& RandomnessReportWindow();
    void ShowEncryptOutcome(const EncryptOutcome& outcome);
    void ShowDecryptOutcome(const DecryptOutcome& outcome);
    // In decrypt mode the text box is read-only; pasting a text block into it empties the ciphertext
    // field, shows the block and decrypts it. False when the clipboard holds no block (the paste is
    // left to the text box).
    bool PasteArmoredBlock();

    // ---- Sending by e-mail (frmMain_mail.cpp) ----
    // The latest encryption wrote this file: the send commands follow whether it is still there.
    void TrackCiphertextFile(const QString& path);
    void CiphertextFileChanged();
    // The latest ciphertext file's absolute path; "" (after saying so) when it is gone.
    QString CiphertextFileToSend();
    void StartMail(const Mail::Draft& draft);
    // No mail program could be started: says where the file is and offers its folder.
    void OfferCiphertextFolder(const LaunchOutcome& outcome);
    QString MailText(int number, const QString& path) const;

    // ---- Text-box tools, help, quitting (frmMain_tools.cpp) ----
    void Warn(const QString& text, const QString& title);
    bool AcceptTextFile(const QString& path);
    void LoadTextbox();
    void SaveTextbox();
    bool TextboxIsEmpty();
    void ShowLocalHelp();
    void OpenWebTarget(const QString& target);
    // The quit procedure. True when the program may end; false when the user chose to keep it running.
    bool PrepareToQuit();

    // ---- A command at work (frmMain_work.cpp) ----
    // Called by a command just before its pipeline runs: shows the busy line and the progress at
    // once, holds back all input but Stop, Quit and Escape, and returns the worker thread and stop
    // flag for the pipeline's request.
    RunControl BeginWork(WindowMode command);
    // Called when the pipeline has returned; the command then shows its outcome and renders. True
    // when the user asked to quit meanwhile (the command then closes the window).
    bool EndWork();
    // Quit or closing the window while a command works: the run stops as by Stop, and the window
    // quits once it has.
    void StopWork();

    // ---- Keyboard and assistive technology (frmMain_access.cpp) ----
    // Accessible names and descriptions for the current language, mode and key state.
    void ApplyAccessibleTexts();
    void SetUpKeyboardAccess();
    // The window's colours from the desktop's palette, each text readable on its ground; again
    // whenever the palette changes.
    void ApplyColours();
    // The key box in the colours of the busy line, or in the palette's own.
    void ColourKeyBox(bool busy);
    void FitMinimumSize();
    // Ctrl+Tab in the message box and Enter on the help link; true when the key was taken.
    bool HandleAccessKeys(QObject* watched, QEvent* event);

    // ---- Controls ----
    QFrame* Frame4;
    QPlainTextEdit* txbText;
    QRadioButton* optEncrypt;
    QRadioButton* optDecrypt;
    QPushButton* cmdLoadSaveTextbox[2];
    QPushButton* cmdEnlargeTextbox;
    QPushButton* cmdClearTextbox;

    QFrame* Frame0;
    QFrame* Frame1;
    QPushButton* cmdSpecifyFile[2];
    QLineEdit* txbFile[2];
    QPushButton* cmdClearFile[2];
    QLabel* lblAppendedFile;

    QFrame* Frame5;
    QPushButton* cmdQuickKey;
    QLineEdit* txbQuickKey;
    QPushButton* cmdHideShowQuickKey;
    QPushButton* cmdClearQuickKey;
    QLabel* lblNoKeySpecified;
    QComboBox* cboLanguage;
    QLabel* lblLanguage;

    QFrame* Frame2;
    QPushButton* cmdEncryptMessage;
    QPushButton* cmdDecryptMessage;
    QPushButton* cmdViewCiphertext;
    QPushButton* cmdCopyAsText;
    QPushButton* cmdSendByMail;
    QPushButton* cmdSendAsText;
    QPushButton* cmdHelp;
    QPushButton* cmdQuit;
    QProgressBar* prgWork; // moves while a command works
    QPushButton* cmdStop;  // beside it while a command works

    QLabel* lblTextbox;
    QLabel* lblClipboard;
    LinkLabel* lblTavolan;
    QTimer* Clock;

    // ---- Window state ----
    Dialogs& dialogs;
    QString WorkingFolderBase; // "" = the default place for working folders
    KdfLevel EncryptKdfLevel = KdfLevel::Moderate;
    // The working folders of the pipeline runs (pass &RunFolders as the request's workingFolders).
    WorkingFolders RunFolders{WorkingFolderBase};

    bool LoadingFinished = false;
    MainWindowState State;
    bool EncryptMode() const { return State.mode == WindowMode::Encrypt; }
    int PreviousLanguage = -1;

    QString LastFolder; // of the last file or folder chosen in a dialog of this window
    // The captions of the commands with their access keys ('&'), by control and program-text number.
    QHash<QPair<const QWidget*, int>, QString> MarkedCaptions[2]; // by mode: encrypt, decrypt
    // The ciphertext file of the latest encryption, for Copy as text; "" once the text box changes.
    QByteArray LastCiphertext;
    // The file the latest encryption wrote, watched for the send commands; "" before the first.
    QString LastCiphertextFile;
    QFileSystemWatcher* CiphertextWatch = nullptr;
    DesktopLauncher Launcher;

    QString QuickKey;
    // Randomness of the last plain package [0] and ciphertext [1]; -1.0 when not measured.
    double RM[2] = {-1.0, -1.0};

    frmKeyboardWithDisplay* KeyboardWindow = nullptr;
    frmLargeTextbox* LargeTextboxWindow = nullptr;
    frmView* ViewWindow = nullptr;
    frmRandomnessGraphic* RandomnessWindow = nullptr;

    // The slow steps of a running command, and the flag that stops it.
    WorkerThreadRunner SlowSteps;
    StopFlag RunStop;
    bool QuitAfterWork = false;
    WorkInputGuard* WorkGuard = nullptr;
};
