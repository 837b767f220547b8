#pragma once
#include "gui/QtCatalogue.h"
#include "pipeline/Dialogs.h"

class QWidget;

// The window's dialogs: QMessageBox, QFileDialog and QDesktopServices. The boxes' buttons carry the
// program's own texts, and Qt's texts in the file dialogs follow the program's language.
class QtDialogs : public Dialogs {
  public:
    // The property of a shown box that holds its QuestionId, so that whoever drives the window
    // (a test, an accessibility tool) can tell which question is on screen without reading it.
    static constexpr const char* QuestionProperty = "questionId";

    explicit QtDialogs(QWidget* parent = nullptr) : parentWidget(parent) {}
    void setParent(QWidget* parent) { parentWidget = parent; }

    DialogAnswer message(const MessageRequest& request) override;
    QString choosePath(const FileDialogRequest& request) override;
    int openTarget(const QString& target) override;
    void setLanguage(int language) override;

  private:
    QWidget* parentWidget;
    int language = 0;
    QtCatalogue qtCatalogue;
};
