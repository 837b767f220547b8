#pragma once
// The viewer: shows one text file read-only in a large text box, e.g. the local help text. Not modal;
// Escape closes it.
// When the file is too long for the box, its beginning is shown between two notes that say so.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

class frmView : public QWidget {
    Q_OBJECT
  public:
    explicit frmView(QWidget* parent = nullptr);

    // The file to show, set before the window is shown.
    void setPath(const QString& path) { filePath = path; }
    QString path() const { return filePath; }
    // Hard-wrapped paragraphs shown one line each, wrapped at the window's width (the help text).
    void setFlowParagraphs(bool flow) { flowParagraphs = flow; }
    // Language of the window's own caption (0 English, 1 German).
    void setLanguage(int language) { this->language = language; }

  protected:
    // Every showing reads the file afresh; a file that cannot be read leaves the box empty.
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void layoutControls();

    QPlainTextEdit* txbText1;
    QPushButton* cmdClose;
    QString filePath;
    int language = 0;
    bool flowParagraphs = false;
};
