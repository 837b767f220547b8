#include "gui/frmKeyboardWithDisplay.h"

#include "texts/WindowTexts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The window stands this far below the top of the main window.
constexpr int OffsetBelowMainWindow = 289;
constexpr int DefaultWidth = 560;

QPushButton* MakeButton(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

frmKeyboardWithDisplay::frmKeyboardWithDisplay(QWidget* parent) : QDialog(parent)
{
    buildControls();
}

frmKeyboardWithDisplay::~frmKeyboardWithDisplay()
{
    clearKey();
}

void frmKeyboardWithDisplay::buildControls()
{
    setObjectName(QStringLiteral("frmKeyboardWithDisplay"));
    setWindowTitle(QStringLiteral("Add encryption key"));
    setModal(true);
    setFont(QFont(QStringLiteral("Arial")));

    lblEntertheKey_ = MakeLabel(QStringLiteral("lblEntertheKey"),
                                QStringLiteral("Enter the encryption key (16-64 characters, spaces ignored, case not "
                                               "significant):"),
                                this);
    lblEntertheKey_->setWordWrap(true);

    txbKey_ = new QLineEdit(this);
    txbKey_->setObjectName(QStringLiteral("txbKey"));
    // Every character of the key gets the same width, so the user can count and compare.
    QFont keyFont(QStringLiteral("Courier New"));
    keyFont.setStyleHint(QFont::Monospace);
    txbKey_->setFont(keyFont);
    txbKey_->setMaxLength(maxKeyLength_);
    lblEntertheKey_->setBuddy(txbKey_);

    lblChecksumIs_ = MakeLabel(QStringLiteral("lblChecksumIs"), QStringLiteral("Checksum: 2222."), this);
    lblUseThisKey_ = MakeLabel(QStringLiteral("lblUseThisKey"), QStringLiteral("Add this key?"), this);
    cmdYes_ = MakeButton(QStringLiteral("cmdYes"), QStringLiteral("Yes"), this);
    cmdYes_->setDefault(true); // Enter accepts a valid key; while it is hidden Enter does nothing
    cmdNo_ = MakeButton(QStringLiteral("cmdNo"), QStringLiteral("No"), this);
    cmdCancel_ = MakeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), this);

    // The count or checksum on the left; the question with Yes and No, or Cancel alone, on the right.
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(lblChecksumIs_);
    answerRow->addStretch(1);
    answerRow->addWidget(lblUseThisKey_);
    answerRow->addWidget(cmdYes_);
    answerRow->addWidget(cmdNo_);
    answerRow->addWidget(cmdCancel_);

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblEntertheKey_);
    column->addWidget(txbKey_);
    column->addLayout(answerRow);

    connect(txbKey_, &QLineEdit::textChanged, this, &frmKeyboardWithDisplay::txbKey_Change);
    connect(cmdYes_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdYes_Click);
    connect(cmdNo_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdNo_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdCancel_Click);
    resize(DefaultWidth, sizeHint().height());
}

void frmKeyboardWithDisplay::setMaxKeyLength(int length)
{
    maxKeyLength_ = length;
    txbKey_->setMaxLength(length);
}

void frmKeyboardWithDisplay::applyProgramTexts(int language)
{
    language_ = language;
    cmdYes_->setText(programText(KeyWindowTexts::Yes));
    cmdNo_->setText(programText(KeyWindowTexts::No));
    cmdCancel_->setText(programText(KeyWindowTexts::Cancel));
}

void frmKeyboardWithDisplay::KeyboardWithDisplay(QWidget* mainWindow)
{
    if (mainWindow) {
        setWindowIcon(mainWindow->windowIcon());
        const QRect main = mainWindow->frameGeometry();
        resize(mainWindow->width(), height());
        move(main.left(), main.top() + OffsetBelowMainWindow);
    }
    exec();
}

void frmKeyboardWithDisplay::showEvent(QShowEvent* event)
{
    activate();
    QDialog::showEvent(event);
}

void frmKeyboardWithDisplay::activate()
{
    lblEntertheKey_->setText(programText(KeyWindowTexts::EnterTheKey));
    setWindowTitle(programText(KeyWindowTexts::Title));
    lblUseThisKey_->setText(programText(KeyWindowTexts::UseThisKey));
    txbKey_->end(false);
    txbKey_Change();
    keyAccepted_ = false;
    txbKey_->setMaxLength(maxKeyLength_);
    // The instruction may wrap (German is longer): the height follows the width.
    setFixedHeight(layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width()) : sizeHint().height());
    txbKey_->setFocus();
}

bool frmKeyboardWithDisplay::KeyLengthIsValid() const
{
    const int significant = Keys::SignificantLength(txbKey_->text());
    return significant >= minKeyLength_ && significant <= maxKeyLength_;
}

void frmKeyboardWithDisplay::txbKey_Change()
{
    const bool valid = KeyLengthIsValid();
    cmdYes_->setVisible(valid);
    cmdNo_->setVisible(valid);
    lblUseThisKey_->setVisible(valid);
    cmdCancel_->setVisible(!valid);
    lblChecksumIs_->setVisible(true);

    if (valid) {
        checksum_ = Keys::KeyChecksum(txbKey_->text());
        lblChecksumIs_->setText(programText(KeyWindowTexts::ChecksumIs) + QLatin1Char(' ') +
                                QString::number(checksum_));
        return;
    }
    const int significant = Keys::SignificantLength(txbKey_->text());
    if (significant == 1)
        lblChecksumIs_->setText(QStringLiteral("1 ") + programText(KeyWindowTexts::OneCharacterCounted));
    else
        lblChecksumIs_->setText(QString::number(significant) + QLatin1Char(' ') +
                                programText(KeyWindowTexts::CharactersCounted));
}

void frmKeyboardWithDisplay::cmdYes_Click()
{
    QString typed = txbKey_->text();
    txbKey_->setText(Keys::PrepareAcceptedKey(typed));
    Keys::WipeString(typed);
    keyAccepted_ = true;
    emit keyAccepted();
    accept();
}

void frmKeyboardWithDisplay::cmdNo_Click()
{
    reject();
}

void frmKeyboardWithDisplay::cmdCancel_Click()
{
    reject();
}

void frmKeyboardWithDisplay::clearKey()
{
    QString old = txbKey_->text();
    txbKey_->clear();
    // The box has let go of its text: this string now holds the last copy, overwrite it.
    Keys::WipeString(old);
}

QString frmKeyboardWithDisplay::takeKey()
{
    QString key = txbKey_->text();
    txbKey_->clear();
    return key;
}
