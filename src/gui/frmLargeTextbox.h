#pragma once
// The enlarged text box: a large window in which the user works on a copy of the message, copies all
// of it or a selection to the clipboard, and either saves the copy back (Accepted) or leaves (Rejected).

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

class frmLargeTextbox : public QDialog {
    Q_OBJECT
  public:
    explicit frmLargeTextbox(QWidget* parent = nullptr);

    // Prepares the window before exec(): a copy of text with the caret at its start, read-only when
    // the main text box is (decrypt mode), captions in language (0 English, 1 German). When given, the
    // window is placed over mainWindow and its text box lines up with mainTextBox.
    void Form_Activate(const QString& text, bool readOnly, int language, const QWidget* mainWindow = nullptr,
                       const QWidget* mainTextBox = nullptr);

    // The working copy; after exec() returned Accepted, the text to put into the main text box.
    QString text() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void UpdateCopyButton();
    void cmdCopyToClipboard_Click();
    void placeOver(const QWidget* mainWindow, const QWidget* mainTextBox);
    void layoutControls();

    QPlainTextEdit* txbText;
    QPushButton* cmdCopyToClipboard;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    int language = 0;
    QStringList captions; // copy selection, copy all, save, cancel: with their access keys
    int textLeft;         // the text box keeps the main text box's left and right margins
    int textRightMargin;
};
