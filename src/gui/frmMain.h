#pragma once
// The main window: it owns every piece of user state for the whole run (message, mode, file fields,
// key, language, randomness measures). Each area of the program implements its own handlers of this
// window in its own source file:
//   frmMain.cpp                start-up, modes, language, captions, status clock, focus
//   keys/frmMain_keys.cpp      key controls
//   files/frmMain_files.cpp    file fields
//   app/frmMain_encrypt.cpp    encrypt command
//   app/frmMain_decrypt.cpp    decrypt command
//   viewers/frmMain_tools.cpp  text-box tools, help, web links, quitting
// Every control carries its name as Qt object name (array members with the index appended), so tests
// reach them with findChild.

#include "files/WorkingFolders.h"

#include <QString>
#include <QWidget>

class Dialogs;
class QComboBox;
class QDragMoveEvent;
class QDropEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// Secondary windows, created lazily by the areas that own them (parented to the main window).
class frmKeyboardWithDisplay;
class frmLargeTextbox;
class frmView;
class frmRandomnessGraphic;

class frmMain : public QWidget {
    Q_OBJECT

  public:
    // workingFolderBase: where the working folders are made; "" for the default place.
    explicit frmMain(Dialogs& dialogs, const QString& workingFolderBase = QString(), QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- Start-up, modes, language, status (frmMain.cpp) ----
    // Runs after the program texts are loaded: initialises, applies the stored language, shows the
    // window and starts the clock.
    void Form_Load();
    void optEncrypt_Click();
    void optDecrypt_Click();
    void cboLanguage_Click();
    void Clock_Timer();
    void SetLanguageDependentProgramText();
    void SetTheFocus();
    void ClearRM();
    void ShowTextboxSize();
    void ShowClipboardSize();
    // Program text `number` in the current language.
    QString ProgramText(int number) const;
    // True while a command runs and borrows txbQuickKey as its red busy line.
    bool KeyFieldShowsBusy() const;

    // ---- Key controls (keys/frmMain_keys.cpp) ----
    void cmdQuickKey_Click();
    void txbQuickKey_Click();
    void cmdHideShowQuickKey_Click();
    void cmdClearQuickKey_Click();
    void UpdateQuickKeyControls();
    void NoKeyMessage();
    // True when the user chose to see the hidden key; the calling command then stops.
    bool AskToShowHiddenKey();
    // Overwrites the key wherever the window holds it (quitting); the controls show "no key".
    void WipeKey();

    // ---- File fields (files/frmMain_files.cpp) ----
    void cmdSpecifyFile_Click(int index);
    void cmdClearFile_Click(int index);
    void txbFile_Click(int index);
    // intI 0: the text-box limit; 1: the limit of the file to append.
    void TooLargeErrMsg(const QString& strMsg, int intI);
    // The chosen folder, "" when cancelled.
    QString BrowseForFolder(const QString& prompt);
    // Drag and drop onto txbFile(index) (enter and move both come to DragOver); true when the event
    // was handled here, false to leave it to the text box.
    bool txbFile_DragOver(int index, QDragMoveEvent* event);
    bool txbFile_DragDrop(int index, QDropEvent* event);
    // `quillet FILE`: decrypt mode with the received file in the file field, ready for the key.
    void OpenReceivedFile(const QString& path);
    // Removes the working folder of the last pipeline run, should it still be there (quitting).
    void RemoveWorkingFolder();

    // ---- Encrypt command (app/frmMain_encrypt.cpp) ----
    void cmdEncryptMessage_Click();
    void cmdViewCiphertext_Click();
    // Puts the latest ciphertext on the clipboard as its armored text block.
    void cmdCopyAsText_Click();
    // Copy as text is offered in encrypt mode while the text box holds the message just encrypted.
    void ShowCopyAsText();
    // Enabled state of every button, option button and combo box; of frames, text boxes and labels
    // too when their flag is set.
    void SetControlsEnabled(bool enabled, bool frames, bool textBoxes, bool labels);
    // Borrows txbQuickKey as the red, bold, centred busy line and paints it at once; "" gives the field
    // back its usual look, empty (the command puts the key text back).
    void ShowBusyLine(const QString& busyText);

    // ---- Decrypt command (app/frmMain_decrypt.cpp) ----
    void cmdDecryptMessage_Click();
    // In decrypt mode the text box is read-only; pasting a text block into it shows the block and
    // decrypts it. False when the clipboard holds no block (the paste is left to the text box).
    bool PasteArmoredBlock();

    // ---- Text-box tools, help, quitting (viewers/frmMain_tools.cpp) ----
    void cmdLoadSaveTextbox_Click(int index);
    void cmdClearTextbox_Click();
    void txbText_Change();
    void lblClipboard_Click();
    void cmdEnlargeTextbox_Click();
    void cmdHelp_Click();
    void cmdHelp_KeyUp(int key);
    void Form_KeyUp(int key);
    void lblTavolan_Click();
    void OpenWebTarget(const QString& target);
    void cmdQuit_Click();

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
    QPushButton* cmdHelp;
    QPushButton* cmdQuit;

    QLabel* lblTextbox;
    QLabel* lblClipboard;
    QLabel* lblTavolan;
    QTimer* Clock;

    // ---- Window state ----
    Dialogs& dialogs;
    QString WorkingFolderBase; // "" = the default place for working folders
    // The working folders of the pipeline runs (pass &RunFolders as the request's workingFolders).
    WorkingFolders RunFolders{WorkingFolderBase};

    bool LoadingFinished = false;
    bool EncryptMode = true;
    int CurrentLanguage = -1;
    int PreviousLanguage = -1;

    // [0] encrypt txbFile(0), [1] decrypt txbFile(0), [2] encrypt txbFile(1), [3] decrypt txbFile(1)
    QString FileFieldMemory[4];
    // Captions of cmdSpecifyFile: [0]/[1] index 0 in encrypt/decrypt mode, [2]/[3] index 1 likewise.
    QString SpecifyFileCaptions[4];
    bool ViewCiphertextWasEnabled = false;
    // The ciphertext file of the latest encryption, for Copy as text; "" once the text box changes.
    QByteArray LastCiphertext;
    QString ChosenFolder;
    QString ClipboardText;

    QString QuickKey;
    // Randomness of the last plain package [0] and ciphertext [1]; -1.0 when not measured.
    double RM[2] = {-1.0, -1.0};

    QString DataFileName;
    QString VersionText;
    QString MakerName;
    QString ProductCode;
    QString RegistryKeyPath;

    frmKeyboardWithDisplay* KeyboardWindow = nullptr;
    frmLargeTextbox* LargeTextboxWindow = nullptr;
    frmView* ViewWindow = nullptr;
    frmRandomnessGraphic* RandomnessWindow = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override; // viewers/frmMain_tools.cpp

  private:
    void BuildControls();
    void ConnectHandlers();
    void InitialiseMainWindow();
    void ApplyProgramTexts();
    void FillLanguageList();
    void SetButtonFontSizes();
    void SetControlFonts();
    void ShowModeCaptions();
    void FitButtonsToCaptions();
    void UpdateTooltips();
    // Clear, save and enlarge are offered exactly when the text box holds text (not while a command runs).
    void UpdateTextToolButtons();
};
