#pragma once
// The one door through which every message box, question, file dialog, folder chooser and
// "open this address" passes. The window uses QtDialogs; tests use a scripted stand-in; the
// command-line front end answers from its options. Pipelines only ever see this interface.

#include <QString>
#include <QStringList>

enum class DialogIcon { None, Critical, Question, Exclamation, Information };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No };

// Which question a box asks. A front end that answers without a person (the command line) answers
// by it, never by the wording, which changes with the language and the program texts.
enum class QuestionId {
    None,                 // a plain box with OK only
    ReplaceOutputFile,    // encrypt: the ciphertext file exists; replace it?
    OfferToAppendFile,    // encrypt: no file named; choose one to send along?
    AcceptUnverified,     // decrypt: the check value does not match; take the message anyway?
    GoOnWithoutFolder,    // decrypt: no folder chosen for the attached file; go on without it?
    AcceptDerivedName,    // decrypt: the attached name is unsafe; save it under the safe name shown?
    SaveUnderHiddenName,  // decrypt: the attached name starts with a dot; save it hidden?
    SaveUnderFreeName,    // decrypt: the attached name is the file being decrypted; save it under a free name?
    ReplaceAttachedFile,  // decrypt: the attached name is taken (Yes replace, No free name, Cancel go on without)
    UseWeakKey,           // key window: the key is weak; use it anyway?
    ClearKey,             // window: forget the key?
    ShowHiddenKey,        // window: show the hidden key?
    ClearClipboardOnQuit, // window: empty the clipboard before the program ends?
    OpenHelpPage,         // window: Yes the help page in the browser, No the help inside the program, Cancel nothing
    AttachInsteadOfText,  // window: the text block is too long for an e-mail's body; attach the file instead?
    OpenCiphertextFolder, // window: no mail program could be started; open the ciphertext file's folder?
};

// The input that mends what a message reports. Once the box is closed the window puts the focus on
// the control of that input, so the user's next key press is the fix.
enum class Remedy {
    None,
    Key,            // set or change the key
    Message,        // type or shorten the message
    FileToAppend,   // choose another file to send along
    OutputFile,     // name the ciphertext file to write
    CiphertextFile, // choose the ciphertext file to read
};

struct MessageRequest {
    QString text;
    QString title;
    DialogIcon icon = DialogIcon::None;
    DialogButtons buttons = DialogButtons::Ok;
    int defaultButton = 0; // 0 the first button, 1 the second (Yes/No with No as default: 1)
    QuestionId question = QuestionId::None;
    // The buttons' own words, one for each button of `buttons` in its order, where the standard
    // words (Yes, No, Cancel) would need a legend; empty for the standard words.
    QStringList captions;
    Remedy remedy = Remedy::None;
};

struct FileDialogRequest {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString title;                // dialog title, or the prompt of the folder chooser
    QStringList nameFilters;      // Qt name filters, e.g. "Ciphertext files (*.zip)", "All files (*)"
    bool mustExist = true;        // Open: the file must exist
    bool confirmOverwrite = true; // Save: ask before replacing an existing file
    // Where the chooser opens: a folder, or a file (existing or suggested) whose folder it opens in
    // with that name selected. "" leaves it to the toolkit.
    QString startPath;
    QString defaultSuffix; // Save: added (without its dot) to a name typed without an extension
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A message box or question; returns the button pressed (Ok for a plain box).
    virtual DialogAnswer message(const MessageRequest& request) = 0;
    // A file or folder chooser; returns the chosen path, or "" when cancelled.
    virtual QString choosePath(const FileDialogRequest& request) = 0;
    // Opens an address or document with the program the desktop associates with it.
    // Returns 0 on success, otherwise an error code (31: nothing is associated with the type).
    virtual int openTarget(const QString& target) = 0;

    // The language the front end's own parts speak (0 English, 1 German): the boxes' buttons and
    // the file dialogs. The window tells every change; front ends that need it not ignore it.
    virtual void setLanguage(int /*language*/) {}

    // Shorthands for the common cases.
    DialogAnswer inform(const QString& text, const QString& title, DialogIcon icon = DialogIcon::None,
                        Remedy remedy = Remedy::None);
    DialogAnswer ask(QuestionId question, const QString& text, const QString& title, DialogButtons buttons,
                     DialogIcon icon = DialogIcon::Question, int defaultButton = 0);
    // The folder chooser with its prompt, opening at startFolder when given; "" when cancelled.
    QString chooseFolder(const QString& prompt, const QString& startFolder = {});
};
