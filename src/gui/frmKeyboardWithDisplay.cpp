#include "gui/frmKeyboardWithDisplay.h"

#include "gui/FocusRing.h"
#include "gui/MessageFont.h"

#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include "keys/KeyGenerator.h"
#include "pipeline/Dialogs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

#include <functional>
#include <utility>

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

// A character takes at most two UTF-16 units.
constexpr int MaxUnitsPerCharacter = 2;

} // namespace

// Holds the key box to a number of characters counted as the key routines count them (code points),
// so an emoji takes one place of the limit, not the two UTF-16 units QLineEdit::maxLength counts.
// The box keeps its text when a change is refused; `refused` hears of each refusal.
class CharacterLimit : public QValidator {
  public:
    CharacterLimit(QObject* parent, std::function<void()> refused) : QValidator(parent), refused_(std::move(refused)) {}
    void setLimit(int limit) { limit_ = limit; }
    State validate(QString& input, int& /*position*/) const override
    {
        if (Keys::CharacterCount(input) <= limit_)
            return Acceptable;
        refused_();
        return Invalid;
    }

  private:
    int limit_ = Keys::MaxKeyLength;
    std::function<void()> refused_;
};

// The key box tells a character typed at the limit (refused without a word, as a full box does)
// from a paste or a drop, which may bring a whole key and deserves a word why nothing happened.
class KeyBox : public QLineEdit {
  public:
    using QLineEdit::QLineEdit;
    bool Typing() const { return typing_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        typing_ = !event->matches(QKeySequence::Paste);
        QLineEdit::keyPressEvent(event);
        typing_ = false;
    }

  private:
    bool typing_ = false;
};

frmKeyboardWithDisplay::frmKeyboardWithDisplay(QWidget* parent) : QDialog(parent)
{
    buildControls();
    new FocusRing(*this); // a focus the keyboard user can find
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

    lblEntertheKey_ = MakeLabel(QStringLiteral("lblEntertheKey"),
                                QStringLiteral("Enter the encryption key (16-64 characters, spaces ignored, case not "
                                               "significant):"),
                                this);
    lblEntertheKey_->setWordWrap(true);

    txbKey_ = new KeyBox(this);
    txbKey_->setObjectName(QStringLiteral("txbKey"));
    // Every character of the key gets the same width, so the user can count and compare.
    txbKey_->setFont(MessageFont());
    keyLimit_ = new CharacterLimit(txbKey_, [this] { KeyRefused(); });
    txbKey_->setValidator(keyLimit_);
    setMaxKeyLength(maxKeyLength_);
    lblEntertheKey_->setBuddy(txbKey_);

    lblChecksumIs_ = MakeLabel(QStringLiteral("lblChecksumIs"), QStringLiteral("Checksum: 2222."), this);
    lblUseThisKey_ = MakeLabel(QStringLiteral("lblUseThisKey"), QStringLiteral("Add this key?"), this);
    cmdYes_ = MakeButton(QStringLiteral("cmdYes"), QStringLiteral("Yes"), this);
    cmdYes_->setDefault(true); // Enter accepts a valid key; while it is hidden Enter does nothing
    cmdNo_ = MakeButton(QStringLiteral("cmdNo"), QStringLiteral("No"), this);
    cmdCancel_ = MakeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), this);
    cmdSuggestKey_ = MakeButton(QStringLiteral("cmdSuggestKey"), QStringLiteral("&Suggest a key"), this);

    // The strength of the key as typed: five steps, from very weak to very strong.
    prbStrength_ = new QProgressBar(this);
    prbStrength_->setObjectName(QStringLiteral("prbStrength"));
    prbStrength_->setRange(0, static_cast<int>(Keys::StrengthRating::VeryStrong) + 1);
    prbStrength_->setTextVisible(false);
    prbStrength_->setMaximumWidth(120);
    lblStrength_ = MakeLabel(QStringLiteral("lblStrength"), QString(), this);
    lblGuessTime_ = MakeLabel(QStringLiteral("lblGuessTime"), QString(), this);
    lblGuessTime_->setWordWrap(true);
    lblSuggestedKey_ = MakeLabel(QStringLiteral("lblSuggestedKey"), QString(), this);
    lblSuggestedKey_->setWordWrap(true);
    lblSuggestedKey_->setVisible(false);

    // The count or checksum on the left; the question with Yes and No, or Cancel alone, on the right.
    auto* answerRow = new QHBoxLayout;
    answerRow->addWidget(lblChecksumIs_);
    answerRow->addStretch(1);
    answerRow->addWidget(lblUseThisKey_);
    answerRow->addWidget(cmdYes_);
    answerRow->addWidget(cmdNo_);
    answerRow->addWidget(cmdCancel_);

    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(txbKey_, 1);
    keyRow->addWidget(cmdSuggestKey_);

    auto* strengthRow = new QHBoxLayout;
    strengthRow->addWidget(prbStrength_);
    strengthRow->addWidget(lblStrength_, 1);

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblEntertheKey_);
    column->addLayout(keyRow);
    column->addLayout(strengthRow);
    column->addWidget(lblGuessTime_);
    column->addWidget(lblSuggestedKey_);
    column->addLayout(answerRow);

    connect(txbKey_, &QLineEdit::textChanged, this, &frmKeyboardWithDisplay::txbKey_Change);
    connect(cmdYes_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdYes_Click);
    connect(cmdNo_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdNo_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdCancel_Click);
    connect(cmdSuggestKey_, &QPushButton::clicked, this, &frmKeyboardWithDisplay::cmdSuggestKey_Click);
    resize(DefaultWidth, sizeHint().height());
}

void frmKeyboardWithDisplay::setMaxKeyLength(int length)
{
    maxKeyLength_ = length;
    keyLimit_->setLimit(length);
    // One unit beyond the longest key, so that even a paste into a full box reaches the limit's check
    // (and its word why) instead of being cut to nothing.
    txbKey_->setMaxLength(length * MaxUnitsPerCharacter + 1);
}

void frmKeyboardWithDisplay::KeyRefused()
{
    if (txbKey_->Typing() || refusalPending_)
        return;
    // The box is in the middle of its change: the word why comes once it has put its text back.
    refusalPending_ = true;
    QMetaObject::invokeMethod(this, &frmKeyboardWithDisplay::TellPasteTooLong, Qt::QueuedConnection);
}

void frmKeyboardWithDisplay::TellPasteTooLong()
{
    refusalPending_ = false;
    if (dialogs_ != nullptr)
        dialogs_->inform(programText(KeyWindowTexts::PasteTooLong) + QLatin1Char(' ') + QString::number(maxKeyLength_) +
                             QLatin1Char('.'),
                         programText(KeyWindowTexts::Title), DialogIcon::Exclamation);
}

void frmKeyboardWithDisplay::applyProgramTexts(int language)
{
    language_ = language;
    const QStringList captions =
        Mnemonics::Mark({programText(KeyWindowTexts::Yes), programText(KeyWindowTexts::No),
                         programText(KeyWindowTexts::Cancel), programText(KeyStrengthTexts::SuggestKey)});
    cmdYes_->setText(captions[0]);
    cmdNo_->setText(captions[1]);
    cmdCancel_->setText(captions[2]);
    cmdSuggestKey_->setText(captions[3]);
    prbStrength_->setAccessibleName(programText(KeyWindowTexts::StrengthBarName));
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
    setMaxKeyLength(maxKeyLength_);
    txbKey_->setFocus();
}

// The instruction and the strength lines may wrap (German is longer): the height follows the width.
void frmKeyboardWithDisplay::fitHeight()
{
    setFixedHeight(layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width()) : sizeHint().height());
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
    showStrength();

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

void frmKeyboardWithDisplay::showStrength()
{
    // A suggested key is shown with its reminder only while the box still holds it.
    lblSuggestedKey_->setVisible(!suggestedKey_.isEmpty() && txbKey_->text() == suggestedKey_);
    const bool empty = Keys::SignificantLength(txbKey_->text()) == 0;
    prbStrength_->setVisible(!empty);
    lblStrength_->setVisible(!empty);
    lblGuessTime_->setVisible(!empty);
    if (!empty) {
        const Keys::KeyStrength strength = Keys::EstimateKeyStrength(txbKey_->text());
        prbStrength_->setValue(static_cast<int>(strength.rating) + 1);
        lblStrength_->setText(Keys::StrengthRatingText(strength.rating, language_));
        // The bar is heard with the rating it shows.
        prbStrength_->setAccessibleDescription(lblStrength_->text());
        lblGuessTime_->setText(Keys::GuessTimeText(strength, language_));
    }
    fitHeight();
}

// A weak key is the user's to choose, but only once they have read why it is weak.
bool frmKeyboardWithDisplay::confirmWeakKey()
{
    const Keys::KeyStrength strength = Keys::EstimateKeyStrength(txbKey_->text());
    if (!Keys::IsWeak(strength) || !dialogs_)
        return true;
    const QString question = programText(KeyStrengthTexts::WeakKeyQuestion) + QLatin1Char(' ') +
                             Keys::WeaknessReasonText(strength.reason, language_) + QStringLiteral("\n\n") +
                             programText(KeyStrengthTexts::WeakKeyConsequence);
    return dialogs_->ask(QuestionId::UseWeakKey, question, programText(KeyWindowTexts::Title), DialogButtons::YesNo,
                         DialogIcon::Exclamation, 1) == DialogAnswer::Yes;
}

void frmKeyboardWithDisplay::cmdSuggestKey_Click()
{
    QString previous = std::exchange(suggestedKey_, Keys::SuggestKey());
    lblSuggestedKey_->setText(programText(KeyStrengthTexts::SuggestedKeyReminder));
    txbKey_->setText(suggestedKey_);
    // The box has let go of the previous suggestion it showed: this is now its last holder.
    Keys::WipeString(previous);
    txbKey_->setFocus();
}

void frmKeyboardWithDisplay::cmdYes_Click()
{
    if (!confirmWeakKey()) {
        txbKey_->setFocus();
        return;
    }
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
    Keys::WipeString(suggestedKey_);
    QString old = txbKey_->text();
    txbKey_->clear();
    // The box has let go of its text: this string now holds the last copy, overwrite it.
    Keys::WipeString(old);
}

QString frmKeyboardWithDisplay::takeKey()
{
    Keys::WipeString(suggestedKey_);
    QString key = txbKey_->text();
    txbKey_->clear();
    return key;
}
