#pragma once
// The Dialogs a command's pipeline talks through in the window. Questions and choosers pass at once;
// a plain box (OK only, no question) waits until the next question or chooser, or until the window
// has shown the run's outcome and calls ShowHeld. So the closing box and an error box stand over a
// window that already shows what happened (the saved file's row, the busy line gone), while the
// boxes keep their order.
#include "pipeline/Dialogs.h"

#include <vector>

class RunDialogs : public Dialogs {
  public:
    explicit RunDialogs(Dialogs& shown) : shown_(shown) {}
    ~RunDialogs() override;

    RunDialogs(const RunDialogs&) = delete;
    RunDialogs& operator=(const RunDialogs&) = delete;

    DialogAnswer message(const MessageRequest& request) override;
    QString choosePath(const FileDialogRequest& request) override;
    int openTarget(const QString& target) override;
    void setLanguage(int language) override { shown_.setLanguage(language); }

    // Shows the boxes held back, in order.
    void ShowHeld();
    // What mends the last box shown (Remedy::None when it named nothing, or no box was shown): the
    // window puts the focus there.
    Remedy LastRemedy() const { return lastRemedy_; }

  private:
    DialogAnswer Show(const MessageRequest& request);

    Dialogs& shown_;
    std::vector<MessageRequest> held_;
    Remedy lastRemedy_ = Remedy::None;
};
