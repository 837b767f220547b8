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

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int HideCaption = 379;
constexpr int ShowCaption = 380;

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

// The one key-entry window, made on first use with the key limits and the current captions.
frmKeyboardWithDisplay& KeyEntryWindow(frmMain& window)
{
    if (window.KeyboardWindow == nullptr) {
        auto* keyWindow = new frmKeyboardWithDisplay(&window);
        keyWindow->setMinKeyLength(Keys::MinKeyLength);
        keyWindow->setMaxKeyLength(Keys::MaxKeyLength);
        keyWindow->applyProgramTexts(window.CurrentLanguage);
        // A ciphertext viewed so far was made with another key, in either mode.
        QObject::connect(keyWindow, &frmKeyboardWithDisplay::keyAccepted, &window, [&window] {
            window.cmdViewCiphertext->setEnabled(false);
            window.ViewCiphertextWasEnabled = false;
        });
        window.KeyboardWindow = keyWindow;
    }
    return *window.KeyboardWindow;
}

// Overwrites the key wherever the main window holds it and brings the controls to "no key".
void ForgetKey(frmMain& window)
{
    Keys::WipeString(window.QuickKey);
    EmptyKeyBox(window.txbQuickKey);
    window.cmdHideShowQuickKey->setVisible(false);
    window.cmdClearQuickKey->setVisible(false);
    window.lblNoKeySpecified->setVisible(true);
    // They carry the key's checksum only while a key is set.
    window.cmdEncryptMessage->setToolTip(QString());
    window.cmdDecryptMessage->setToolTip(QString());
}

} // namespace

void frmMain::cmdQuickKey_Click()
{
    const bool wasHidden = !cmdHideShowQuickKey->isHidden() && cmdHideShowQuickKey->text() == ProgramText(ShowCaption);
    // No key button while the key-entry window is open.
    cmdHideShowQuickKey->setVisible(false);
    cmdClearQuickKey->setVisible(false);
    if (wasHidden)
        cmdHideShowQuickKey_Click();
    QFont keyFont = txbQuickKey->font();
    keyFont.setFamily(QStringLiteral("Courier New"));
    txbQuickKey->setFont(keyFont);

    frmKeyboardWithDisplay& keyWindow = KeyEntryWindow(*this);
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
        UpdateQuickKeyControls();
        if (wasHidden)
            cmdHideShowQuickKey_Click();
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
    if (cmdHideShowQuickKey->text() != ProgramText(HideCaption)) {
        ShowInKeyBox(txbQuickKey, QuickKey);
        cmdHideShowQuickKey->setText(ProgramText(HideCaption));
    } else {
        EmptyKeyBox(txbQuickKey);
        cmdHideShowQuickKey->setText(ProgramText(ShowCaption));
    }
    SetTheFocus();
}

void frmMain::cmdClearQuickKey_Click()
{
    if (LoadingFinished) {
        // The user sees what would be forgotten before answering.
        ShowInKeyBox(txbQuickKey, QuickKey);
        cmdHideShowQuickKey->setText(ProgramText(HideCaption));
        const DialogAnswer answer = dialogs.ask(QuestionId::ClearKey, ProgramText(372), cmdClearQuickKey->text(),
                                                DialogButtons::YesNo, DialogIcon::Question);
        if (answer != DialogAnswer::Yes) {
            cmdQuickKey->setFocus();
            return;
        }
    }
    ForgetKey(*this);
    SetTheFocus();
}

void frmMain::UpdateQuickKeyControls()
{
    const QString shown = txbQuickKey->text();
    const bool keySet = !shown.isEmpty();
    cmdHideShowQuickKey->setVisible(keySet);
    cmdClearQuickKey->setVisible(keySet);
    lblNoKeySpecified->setVisible(!keySet);
    cmdHideShowQuickKey->setText(ProgramText(keySet ? HideCaption : ShowCaption));
    // Only called while a key is shown, so the box holds the key; keep one buffer per copy.
    if (shown != QuickKey) {
        Keys::WipeString(QuickKey);
        QuickKey = DeepCopy(shown);
    }
}

void frmMain::NoKeyMessage()
{
    Keys::ShowNoKeyMessage(dialogs, CurrentLanguage, EncryptMode);
}

bool frmMain::AskToShowHiddenKey()
{
    const QString question = ProgramText(115) + QStringLiteral("\r\n") + ProgramText(116);
    if (dialogs.ask(QuestionId::ShowHiddenKey, question, ProgramText(117), DialogButtons::YesNo,
                    DialogIcon::Question) != DialogAnswer::Yes)
        return false;
    cmdHideShowQuickKey_Click();
    return true;
}

void frmMain::WipeKey()
{
    ForgetKey(*this);
    if (KeyboardWindow != nullptr)
        KeyboardWindow->clearKey();
}
