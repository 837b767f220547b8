#include "gui/frmView.h"

#include "gui/FocusRing.h"

#include "files/TextFileReader.h"
#include "gui/MessageFont.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/ViewerText.h"
#include "texts/WindowTexts.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
constexpr int buttonWidth = 100;
constexpr int buttonHeight = 27;
constexpr int MinimumWidth = 266;
constexpr int MinimumHeight = 200;
constexpr int SideMargins = 21; // left and right of the text together
constexpr int BelowText = 80;   // room under the text for the button row
constexpr int ButtonGap = 6;    // between the text and the button
} // namespace

frmView::frmView(QWidget* parent)
    : QWidget(parent, Qt::Window), txbText1(new QPlainTextEdit(this)), cmdClose(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmView"));
    new FocusRing(*this); // a focus the keyboard user can find
    txbText1->setObjectName(QStringLiteral("txbText1"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    txbText1->setReadOnly(true);
    txbText1->setFont(MessageFont());
    txbText1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cmdClose->setFixedSize(buttonWidth, buttonHeight);
    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(720, 560);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    cmdClose->setText(Mnemonics::Mark({Language::GetProgramText(ViewerTexts::Close, language)}).constFirst());
    QString text;
    if (!filePath.isEmpty() && ReadFileAsText(filePath, text).isEmpty())
        txbText1->setPlainText(flowParagraphs ? FlowParagraphs(FitTextForViewer(text)) : FitTextForViewer(text));
    else
        txbText1->clear();
    // A screen reader names the text by what is shown: the window's title, else the file's name.
    txbText1->setAccessibleName(windowTitle().isEmpty() ? QFileInfo(filePath).fileName() : windowTitle());
    layoutControls();
}

// Escape closes the viewer, as it closes a dialog; the read-only text box passes the key on.
void frmView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void frmView::layoutControls()
{
    const int sideMargin = SideMargins / 2;
    txbText1->setGeometry(sideMargin, sideMargin, width() - SideMargins, height() - BelowText);
    const int buttonTop = txbText1->geometry().bottom() + 1 + ButtonGap;
    cmdClose->move((width() - buttonWidth) / 2, buttonTop);
}
