#include "gui/frmLargeTextbox.h"

#include "gui/FocusRing.h"

#include "gui/MessageFont.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocumentFragment>

namespace {
using namespace LargeTextboxTexts;

constexpr int margin = 12;
constexpr int buttonHeight = 27;
// The copy button fits its longer German captions.
constexpr int CopySelectionWidth = 250;
constexpr int CopySelectionWidthGerman = 333;
constexpr int CopyAllWidth = 166;
constexpr int CopyAllWidthGerman = 233;
// Placed over the main window, starting a little below its top and ending above its bottom.
constexpr int BelowMainWindowTop = 93;
constexpr int ShorterThanMainWindow = 106;
constexpr int ButtonRowHeight = 60;
} // namespace

frmLargeTextbox::frmLargeTextbox(QWidget* parent)
    : QDialog(parent), txbText(new QPlainTextEdit(this)), cmdCopyToClipboard(new QPushButton(this)),
      cmdSave(new QPushButton(this)), cmdCancel(new QPushButton(this)), textLeft(margin), textRightMargin(margin)
{
    setObjectName(QStringLiteral("frmLargeTextbox"));
    new FocusRing(*this); // a focus the keyboard user can find
    setModal(true);
    txbText->setObjectName(QStringLiteral("txbText"));
    cmdCopyToClipboard->setObjectName(QStringLiteral("cmdCopyToClipboard"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    txbText->setFont(MessageFont());
    txbText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (QPushButton* button : {cmdCopyToClipboard, cmdSave, cmdCancel})
        button->setFixedHeight(buttonHeight);
    cmdSave->setDefault(true);

    connect(txbText, &QPlainTextEdit::selectionChanged, this, &frmLargeTextbox::UpdateCopyButton);
    connect(cmdCopyToClipboard, &QPushButton::clicked, this, &frmLargeTextbox::cmdCopyToClipboard_Click);
    connect(cmdSave, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(800, 560);
}

void frmLargeTextbox::Form_Activate(const QString& text, bool readOnly, int language, const QWidget* mainWindow,
                                    const QWidget* mainTextBox)
{
    this->language = language;
    setWindowTitle(Language::GetProgramText(Title, language));
    txbText->setAccessibleName(windowTitle());
    // The copy button's two captions take part, so that neither shares a key with Save or Cancel.
    captions =
        Mnemonics::Mark({Language::GetProgramText(CopySelection, language), Language::GetProgramText(CopyAll, language),
                         Language::GetProgramText(Save, language), Language::GetProgramText(Cancel, language)});
    cmdSave->setText(captions[2]);
    cmdCancel->setText(captions[3]);
    placeOver(mainWindow, mainTextBox);

    txbText->setPlainText(text);
    txbText->moveCursor(QTextCursor::Start);
    txbText->setReadOnly(readOnly);
    txbText->setFocus();
    UpdateCopyButton();
    layoutControls();
}

QString frmLargeTextbox::text() const
{
    return txbText->toPlainText();
}

void frmLargeTextbox::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutControls();
}

void frmLargeTextbox::UpdateCopyButton()
{
    const bool german = language == Language::German;
    if (txbText->textCursor().hasSelection()) {
        cmdCopyToClipboard->setText(captions.value(0));
        cmdCopyToClipboard->setFixedWidth(german ? CopySelectionWidthGerman : CopySelectionWidth);
    } else {
        cmdCopyToClipboard->setText(captions.value(1));
        cmdCopyToClipboard->setFixedWidth(german ? CopyAllWidthGerman : CopyAllWidth);
    }
}

void frmLargeTextbox::cmdCopyToClipboard_Click()
{
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    QTextCursor cursor = txbText->textCursor();
    // The fragment turns paragraph separators back into "\n", unlike QTextCursor::selectedText().
    clipboard->setText(cursor.hasSelection() ? cursor.selection().toPlainText() : txbText->toPlainText());
    cursor.clearSelection();
    txbText->setTextCursor(cursor);
    UpdateCopyButton();
    cmdSave->setFocus();
}

void frmLargeTextbox::placeOver(const QWidget* mainWindow, const QWidget* mainTextBox)
{
    if (mainWindow == nullptr)
        return;
    const QRect main = mainWindow->geometry();
    setGeometry(main.left(), main.top() + BelowMainWindowTop, main.width(),
                qMax(main.height() - ShorterThanMainWindow, 200));
    if (mainTextBox != nullptr) {
        textLeft = qMax(mainTextBox->mapTo(mainWindow, QPoint(0, 0)).x(), 0);
        textRightMargin = qMax(main.width() - textLeft - mainTextBox->width(), 0);
    }
}

void frmLargeTextbox::layoutControls()
{
    const int textWidth = qMax(width() - textLeft - textRightMargin, 100);
    const int textHeight = qMax(height() - margin - (buttonHeight + ButtonRowHeight), 60);
    txbText->setGeometry(textLeft, margin, textWidth, textHeight);

    const int buttonTop = margin + textHeight + (ButtonRowHeight - buttonHeight) / 2;
    cmdCopyToClipboard->move(textLeft, buttonTop);
    const int right = textLeft + textWidth;
    cmdCancel->setGeometry(right - 120, buttonTop, 120, buttonHeight);
    cmdSave->setGeometry(right - 120 - margin - 180, buttonTop, 180, buttonHeight);
}
