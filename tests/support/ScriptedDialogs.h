#pragma once
// The test stand-in for Dialogs: records every box and chooser and hands out prepared answers.

#include "pipeline/Dialogs.h"

#include <deque>
#include <vector>

// Records every box and chooser and hands out prepared answers, in order. A plain OK box takes
// no prepared answer. When none is prepared, a question gets its default button and a chooser
// gets "" (cancelled). Each recorded question keeps its identity (MessageRequest::question).
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
    // The identities of the questions asked, in order (plain boxes left out).
    std::vector<QuestionId> questions() const;
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
