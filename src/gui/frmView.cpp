#include "gui/frmView.h"

#include "files/TextFileReader.h"
#include "gui/MessageFont.h"
#include "gui/Twips.h"
#include "texts/Language.h"
#include "texts/ViewerText.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
constexpr int buttonWidth = 100;
constexpr int buttonHeight = 27;
} // namespace

frmView::frmView(QWidget* parent)
    : QWidget(parent, Qt::Window), txbText1(new QPlainTextEdit(this)), cmdClose(new QPushButton(this))
{
    setObjectName(QStringLiteral("frmView"));
    txbText1->setObjectName(QStringLiteral("txbText1"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    txbText1->setReadOnly(true);
    txbText1->setFont(MessageFont());
    txbText1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    cmdClose->setFixedSize(buttonWidth, buttonHeight);
    setMinimumSize(TwipsToPixels(4000), TwipsToPixels(3000));
    resize(720, 560);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
}

void frmView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    cmdClose->setText(Language::GetProgramText(101, language));
    QString text;
    if (!filePath.isEmpty() && ReadFileAsText(filePath, text).isEmpty())
        txbText1->setPlainText(FitTextForViewer(text));
    else
        txbText1->clear();
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
    const int sideMargin = TwipsToPixels(320) / 2;
    txbText1->setGeometry(sideMargin, sideMargin, width() - TwipsToPixels(320), height() - TwipsToPixels(1200));
    const int buttonTop = txbText1->geometry().bottom() + 1 + TwipsToPixels(100);
    cmdClose->move((width() - buttonWidth) / 2, buttonTop);
}
