#pragma once
// The one door through which every message box, question, file dialog, folder chooser and
// "open this address" passes. The window uses QtDialogs; tests use ScriptedDialogs; the
// command-line front end answers from its options. Pipelines only ever see this interface.

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

enum class DialogIcon { None, Critical, Question, Exclamation, Information };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString title;
    DialogIcon icon = DialogIcon::None;
    DialogButtons buttons = DialogButtons::Ok;
    int defaultButton = 0; // 0 the first button, 1 the second (Yes/No with No as default: 1)
};

struct FileDialogRequest {
    enum class Kind { Open, Save, Folder };
    Kind kind = Kind::Open;
    QString title;                // dialog title, or the prompt of the folder chooser
    QStringList nameFilters;      // Qt name filters, e.g. "Ciphertext files (*.zip)", "All files (*)"
    bool mustExist = true;        // Open: the file must exist
    bool confirmOverwrite = true; // Save: ask before replacing an existing file
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
    DialogAnswer inform(const QString& text, const QString& title, DialogIcon icon = DialogIcon::None);
    DialogAnswer ask(const QString& text, const QString& title, DialogButtons buttons,
                     DialogIcon icon = DialogIcon::Question, int defaultButton = 0);
    // The folder chooser with its prompt; "" when cancelled.
    QString chooseFolder(const QString& prompt);
};

// Records every box and chooser and hands out prepared answers, in order. A plain OK box takes
// no prepared answer. When none is prepared, a question gets its default button and a chooser
// gets "" (cancelled).
class ScriptedDialogs : public Dialogs {
  public:
    struct Record {
        MessageRequest message;    // filled for message boxes
        FileDialogRequest chooser; // filled for choosers
        bool isChooser = false;
        QString target; // filled for openTarget
        bool isOpenTarget = false;
    };

    DialogAnswer message(const MessageRequest& request) override;
    QString choosePath(const FileDialogRequest& request) override;
    int openTarget(const QString& target) override;

    void queueAnswer(DialogAnswer answer) { answers.push_back(answer); }
    void queuePath(const QString& path) { paths.push_back(path); }
    void setOpenTargetResult(int code) { openTargetResult = code; }

    const std::vector<Record>& records() const { return log; }
    std::vector<MessageRequest> messages() const;
    void clear()
    {
        log.clear();
        answers.clear();
        paths.clear();
    }

  private:
    std::deque<DialogAnswer> answers;
    std::deque<QString> paths;
    std::vector<Record> log;
    int openTargetResult = 0;
};
