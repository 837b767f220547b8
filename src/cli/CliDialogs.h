#pragma once
// The command line's Dialogs: every box becomes one line on standard error behind the program's
// name, and every question and chooser is answered from the options instead of by a person,
// without being printed.

#include "pipeline/Dialogs.h"

#include <QString>

#include <cstdio>
#include <vector>

// Program text `number`, then on its own line the file concerned and what went wrong with it.
QString FileProblem(int number, const QString& path, const QString& cause, int language);

class Failure;

class CliDialogs : public Dialogs {
  public:
    CliDialogs(int language, std::FILE* out) : language_(language), out_(out) {}

    // The answer to the question `question`, and what to say when it is asked ("" for nothing). A
    // later answer to the same question replaces the earlier one. A question nobody prepared an
    // answer for gets the cautious one: No, or Cancel.
    void answerQuestion(QuestionId question, DialogAnswer answer, const QString& said = {});
    // The folder every folder chooser picks; file choosers are always cancelled.
    void answerFolder(const QString& folder) { folder_ = folder; }

    DialogAnswer message(const MessageRequest& request) override;
    QString choosePath(const FileDialogRequest& request) override;
    int openTarget(const QString& target) override;

    // Shows a text of the command line's own, as a box would.
    void say(const QString& text);
    // Shows a failure: its text, and on the next line the file it names and the cause.
    void tell(const Failure& failure);

  private:
    struct PreparedAnswer {
        QuestionId question;
        DialogAnswer answer;
        QString said;
    };

    PreparedAnswer AnswerFor(const MessageRequest& request) const;

    int language_;
    std::FILE* out_;
    std::vector<PreparedAnswer> answers_;
    QString folder_;
};
