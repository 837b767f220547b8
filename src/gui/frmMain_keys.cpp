// Key controls of the main window: setting, showing, hiding and clearing the one key, and the
// questions the commands put about it.
//
// Wiping: every string that holds the key keeps its own buffer (the key box gets a deep copy), so
// that overwriting one string in place really overwrites the key and not a detached copy of it.
#include "gui/frmKeyboardWithDisplay.h"
#include "gui/frmMain.h"
#include "keys/KeyRoutines.h"
#include "pipeline/Dialogs.h"
#include "pipeline/NoKeyMessage.h"
#include "texts/WindowTexts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace MainWindowTexts;

QString DeepCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}

// Empties the key box and overwrites the text it held.
void EmptyKeyBox(QLineEdit* box)
{
    QString shown = box->text();
    box->clear();
    Keys::WipeString(shown);
}

void ShowInKeyBox(QLineEdit* box, const QString& key)
{
    EmptyKeyBox(box);
    box->setText(DeepCopy(key));
}

} // namespace

bool frmMain::KeyHidden() const
{
    return ShowKeyOffered && !QuickKey.isEmpty();
}

void frmMain::SetHideShowCaption(bool offerToShow)
{
    ShowKeyOffered = offerToShow;
    cmdHideShowQuickKey->setText(Caption(cmdHideShowQuickKey, offerToShow ? ShowKey : HideKey));
    // The key field's name and its row of dots follow whether a key is hidden.
    ApplyAccessibleTexts();
}

// The one key-entry window, made on first use with the key limits and the current captions.
frmKeyboardWithDisplay& frmMain::KeyEntryWindow()
{
    if (KeyboardWindow == nullptr) {
        KeyboardWindow = new frmKeyboardWithDisplay(this);
        KeyboardWindow->setMinKeyLength(Keys::MinKeyLength);
        KeyboardWindow->setMaxKeyLength(Keys::MaxKeyLength);
        KeyboardWindow->applyProgramTexts(CurrentLanguage);
        KeyboardWindow->setDialogs(&dialogs);
        // A ciphertext viewed so far was made with another key, in either mode.
        connect(KeyboardWindow, &frmKeyboardWithDisplay::keyAccepted, this, [this] { RetireCiphertextView(); });
    }
    return *KeyboardWindow;
}

// Overwrites the key wherever the main window holds it and brings the controls to "no key".
void frmMain::ForgetKey()
{
    Keys::WipeString(QuickKey);
    EmptyKeyBox(txbQuickKey);
    cmdHideShowQuickKey->setVisible(false);
    cmdClearQuickKey->setVisible(false);
    lblNoKeySpecified->setVisible(true);
    // They carry the key's checksum only while a key is set.
    cmdEncryptMessage->setToolTip(QString());
    cmdDecryptMessage->setToolTip(QString());
    ApplyAccessibleTexts();
}

void frmMain::cmdQuickKey_Click()
{
    const bool wasHidden = KeyHidden();
    // No key button while the key-entry window is open.
    cmdHideShowQuickKey->setVisible(false);
    cmdClearQuickKey->setVisible(false);
    QFont keyFont = txbQuickKey->font();
    keyFont.setFamily(QStringLiteral("Courier New"));
    txbQuickKey->setFont(keyFont);

    frmKeyboardWithDisplay& keyWindow = KeyEntryWindow();
    keyWindow.clearKey();
    keyWindow.KeyboardWithDisplay(this);
    if (keyWindow.KeyAccepted()) {
        // The window has already trimmed the key and folded its runs of spaces.
        QString newKey = keyWindow.takeKey();
        ShowInKeyBox(txbQuickKey, newKey);
        Keys::WipeString(QuickKey);
        QuickKey = newKey;
        UpdateQuickKeyControls();
    } else {
        // Whatever was typed must not linger in the hidden window.
        keyWindow.clearKey();
        if (wasHidden)
            ShowHiddenKeyControls();
        else
            UpdateQuickKeyControls();
    }
    SetTheFocus();
}

void frmMain::txbQuickKey_Click()
{
    // Empty means no key or a hidden one: either way the user wants to enter a key.
    if (txbQuickKey->text().isEmpty())
        cmdQuickKey_Click();
}

void frmMain::cmdHideShowQuickKey_Click()
{
    if (ShowKeyOffered)
        ShowInKeyBox(txbQuickKey, QuickKey);
    else
        EmptyKeyBox(txbQuickKey);
    SetHideShowCaption(!ShowKeyOffered);
    SetTheFocus();
}

void frmMain::cmdClearQuickKey_Click()
{
    if (LoadingFinished) {
        // The user sees what would be forgotten before answering.
        ShowInKeyBox(txbQuickKey, QuickKey);
        SetHideShowCaption(false);
        const DialogAnswer answer = dialogs.ask(QuestionId::ClearKey, ProgramText(ClearKeyQuestion), ProgramText(Clear),
                                                DialogButtons::YesNo, DialogIcon::Question);
        if (answer != DialogAnswer::Yes) {
            cmdQuickKey->setFocus();
            return;
        }
    }
    ForgetKey();
    SetTheFocus();
}

// The key stays hidden (the box empty, QuickKey kept): only its buttons come back.
void frmMain::ShowHiddenKeyControls()
{
    cmdHideShowQuickKey->setVisible(true);
    cmdClearQuickKey->setVisible(true);
    lblNoKeySpecified->setVisible(false);
    SetHideShowCaption(true);
}

void frmMain::UpdateQuickKeyControls()
{
    const QString shown = txbQuickKey->text();
    const bool keySet = !shown.isEmpty();
    cmdHideShowQuickKey->setVisible(keySet);
    cmdClearQuickKey->setVisible(keySet);
    lblNoKeySpecified->setVisible(!keySet);
    // Only called while a key is shown, so the box holds the key; keep one buffer per copy.
    if (shown != QuickKey) {
        Keys::WipeString(QuickKey);
        QuickKey = DeepCopy(shown);
    }
    SetHideShowCaption(!keySet);
}

void frmMain::NoKeyMessage()
{
    Keys::ShowNoKeyMessage(dialogs, CurrentLanguage, EncryptMode);
}

bool frmMain::AskToShowHiddenKey()
{
    const QString question =
        ProgramText(ShowHiddenKeyQuestion) + QStringLiteral("\r\n") + ProgramText(ShowHiddenKeyQuestionMore);
    // No (go on with the hidden key) is the default: the user pressed the command to run it.
    if (dialogs.ask(QuestionId::ShowHiddenKey, question, ProgramText(ShowHiddenKeyTitle), DialogButtons::YesNo,
                    DialogIcon::Question, 1) != DialogAnswer::Yes)
        return false;
    cmdHideShowQuickKey_Click();
    return true;
}

void frmMain::WipeKey()
{
    ForgetKey();
    if (KeyboardWindow != nullptr)
        KeyboardWindow->clearKey();
}
