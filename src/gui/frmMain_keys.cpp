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

} // namespace

bool frmMain::KeyHidden() const
{
    return State.key == KeyState::Hidden;
}

void frmMain::EmptyKeyBox()
{
    QString shown = txbQuickKey->text();
    txbQuickKey->clear();
    Keys::WipeString(shown);
}

void frmMain::ShowKeyInBox()
{
    EmptyKeyBox();
    txbQuickKey->setText(DeepCopy(QuickKey));
}

// The one key-entry window, made on first use with the key limits and the current captions.
frmKeyboardWithDisplay& frmMain::KeyEntryWindow()
{
    if (KeyboardWindow == nullptr) {
        KeyboardWindow = new frmKeyboardWithDisplay(this);
        KeyboardWindow->setMinKeyLength(Keys::MinKeyLength);
        KeyboardWindow->setMaxKeyLength(Keys::MaxKeyLength);
        KeyboardWindow->applyProgramTexts(State.language);
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
    State.key = KeyState::None;
    Render();
}

void frmMain::cmdQuickKey_Click()
{
    frmKeyboardWithDisplay& keyWindow = KeyEntryWindow();
    keyWindow.clearKey();
    State.keyEntryOpen = true;
    Render();
    keyWindow.KeyboardWithDisplay(this);
    State.keyEntryOpen = false;
    if (keyWindow.KeyAccepted()) {
        // The window has already trimmed the key and folded its runs of spaces.
        Keys::WipeString(QuickKey);
        QuickKey = keyWindow.takeKey();
        State.key = KeyState::Shown;
    } else {
        // Whatever was typed must not linger in the hidden window.
        keyWindow.clearKey();
    }
    Render();
    SetTheFocus();
}

void frmMain::txbQuickKey_Click()
{
    // Empty means no key or a hidden one: either way the user wants to enter a key.
    if (!Working() && txbQuickKey->text().isEmpty())
        cmdQuickKey_Click();
}

void frmMain::cmdHideShowQuickKey_Click()
{
    State.key = State.key == KeyState::Hidden ? KeyState::Shown : KeyState::Hidden;
    Render();
    SetTheFocus();
}

void frmMain::cmdClearQuickKey_Click()
{
    if (LoadingFinished) {
        // The user sees what would be forgotten before answering.
        State.key = KeyState::Shown;
        Render();
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

void frmMain::NoKeyMessage()
{
    Keys::ShowNoKeyMessage(dialogs, State.language, EncryptMode());
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
