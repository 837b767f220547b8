#pragma once
// The modal key-entry window. While the user types it shows how many significant characters the
// key has, or its checksum once the key is long enough; it returns only whether the key standing in
// its box was accepted. The main window reads the key out of the box with takeKey().

#include "keys/KeyRoutines.h"
#include "keys/KeyStrength.h"
#include "texts/Language.h"

#include <QDialog>

class CharacterLimit;
class Dialogs;
class KeyBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class frmKeyboardWithDisplay : public QDialog {
    Q_OBJECT

  public:
    explicit frmKeyboardWithDisplay(QWidget* parent = nullptr);
    ~frmKeyboardWithDisplay() override;

    // True only after cmdYes was pressed during the latest showing.
    bool KeyAccepted() const { return keyAccepted_; }
    // The checksum of the key last shown as valid.
    int Checksum() const { return checksum_; }
    int MinKeyLength() const { return minKeyLength_; }
    void setMinKeyLength(int length) { minKeyLength_ = length; }
    // Also the most characters (spaces included, an emoji counting once) the key box accepts.
    int MaxKeyLength() const { return maxKeyLength_; }
    void setMaxKeyLength(int length);

    // The owner's current language for the texts this window sets itself.
    void setLanguage(int language) { language_ = language; }
    int language() const { return language_; }
    // Where the question about a weak key is asked; without it a weak key is accepted unasked.
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // Button captions, set by the main window's language routine together with its own texts.
    void applyProgramTexts(int language);

    // Places the window over the lower part of mainWindow (same left edge and width) and shows it
    // modally; returns when the user leaves it.
    void KeyboardWithDisplay(QWidget* mainWindow);

    // Empties the key box, overwriting the key it held. Called before each showing.
    void clearKey();
    // The accepted key; the box is emptied so that the returned string is the only copy.
    QString takeKey();

  signals:
    // The user accepted a key: any ciphertext shown so far was made with another one.
    void keyAccepted();

  public slots:
    void txbKey_Change();
    void cmdYes_Click();
    void cmdNo_Click();
    void cmdCancel_Click();
    // Puts a freshly drawn key into the box and reminds how to pass it on.
    void cmdSuggestKey_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void activate();
    bool KeyLengthIsValid() const;
    void showStrength();
    void fitHeight();
    bool confirmWeakKey();
    // A paste or a drop that would make the key too long was refused: the user is told the limit.
    void KeyRefused();
    void TellPasteTooLong();
    QString programText(int number) const { return Language::GetProgramText(number, language_); }

    QLabel* lblEntertheKey_ = nullptr;
    KeyBox* txbKey_ = nullptr;
    CharacterLimit* keyLimit_ = nullptr;
    QLabel* lblChecksumIs_ = nullptr;
    QLabel* lblUseThisKey_ = nullptr;
    QPushButton* cmdYes_ = nullptr;
    QPushButton* cmdNo_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdSuggestKey_ = nullptr;
    QProgressBar* prbStrength_ = nullptr;
    QLabel* lblStrength_ = nullptr;
    QLabel* lblGuessTime_ = nullptr;
    QLabel* lblSuggestedKey_ = nullptr;
    Dialogs* dialogs_ = nullptr;
    QString suggestedKey_; // the key last suggested, while the box still holds it
    bool refusalPending_ = false;

    bool keyAccepted_ = false;
    int checksum_ = 0;
    int minKeyLength_ = Keys::MinKeyLength;
    int maxKeyLength_ = Keys::MaxKeyLength;
    int language_ = Language::English;
};
