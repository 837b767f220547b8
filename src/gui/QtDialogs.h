#pragma once
#include "pipeline/Dialogs.h"

class QWidget;

// The window's dialogs: QMessageBox, QFileDialog and QDesktopServices.
class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : parentWidget(parent) {}
    void setParent(QWidget* parent) { parentWidget = parent; }

    DialogAnswer message(const MessageRequest& request) override;
    QString choosePath(const FileDialogRequest& request) override;
    int openTarget(const QString& target) override;

  private:
    QWidget* parentWidget;
};
