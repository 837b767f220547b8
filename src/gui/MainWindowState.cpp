#include "gui/MainWindowState.h"

#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/WindowTexts.h"

namespace {

using namespace MainWindowTexts;

ControlView Shown(bool enabled, int caption = 0, int tooltip = 0)
{
    return {enabled, true, caption, tooltip};
}

ControlView Hidden(int caption = 0)
{
    return {false, false, caption, 0};
}

int AttachedFileCaption(AttachedFileFate fate)
{
    switch (fate) {
    case AttachedFileFate::None:
    case AttachedFileFate::AskingFolder:
        return DecryptTexts::FolderCaption;
    case AttachedFileFate::Saved:
        return DecryptTexts::SavedAs;
    case AttachedFileFate::NotSaved:
        return DecryptTexts::NotSaved;
    case AttachedFileFate::CouldNotSave:
        return DecryptTexts::CouldNotSave;
    }
    return 0;
}

// A hint says what an empty field is for.
int HintWhenEmpty(const QString& path, int hint)
{
    return path.isEmpty() ? hint : 0;
}

void MessageArea(const MainWindowState& s, MainWindowView& v)
{
    const bool encrypt = s.mode == WindowMode::Encrypt;
    v.optEncrypt = Shown(true, EncryptOption);
    v.optDecrypt = Shown(true, DecryptOption);
    v.txbText = Shown(true, 0, s.textEmpty && !encrypt ? DecryptedMessageHint : 0);
    // The decrypted message is the sender's: it is read, copied and saved, not edited.
    v.textReadOnly = !encrypt;
    v.cmdLoadSaveTextbox[0] = Shown(encrypt, LoadFromFile);
    v.cmdLoadSaveTextbox[1] = Shown(!s.textEmpty, SaveToFile);
    v.cmdEnlargeTextbox = Shown(!s.textEmpty, Enlarge);
    v.cmdClearTextbox = Shown(!s.textEmpty, Clear);
}

void FileRows(const MainWindowState& s, MainWindowView& v)
{
    const bool encrypt = s.mode == WindowMode::Encrypt;
    v.cmdSpecifyFile[0] = Shown(true, encrypt ? FileToAppend : CiphertextFile);
    v.txbFile[0] = Shown(true, 0, HintWhenEmpty(s.File(0), encrypt ? FileToAppendHint : CiphertextFileHint));
    v.cmdClearFile[0] = {true, !s.File(0).isEmpty(), Clear, 0};
    if (encrypt) {
        v.Frame1 = Shown(true);
        v.cmdSpecifyFile[1] = Shown(true, OutputFile);
        v.lblAppendedFile = Hidden(AttachedFileCaption(s.fate));
        v.txbFile[1] = Shown(true, 0, HintWhenEmpty(s.File(1), OutputFileHint));
        v.cmdClearFile[1] = {true, !s.File(1).isEmpty(), Clear, 0};
        return;
    }
    // In decrypt mode the second row tells what became of an attached file; nothing is chosen there.
    const bool fileCame = s.fate != AttachedFileFate::None;
    v.Frame1 = {true, fileCame, 0, 0};
    v.cmdSpecifyFile[1] = Hidden(FolderForAttachedFile);
    v.lblAppendedFile = {true, fileCame, AttachedFileCaption(s.fate), 0};
    v.txbFile[1] = {true, fileCame, 0, s.File(1).isEmpty() ? 0 : SavedAttachedFileHint};
    v.cmdClearFile[1] = Hidden(Clear);
}

void KeyGroup(const MainWindowState& s, MainWindowView& v)
{
    const bool keySet = s.key != KeyState::None;
    // While a key is being entered, the key buttons cannot act on the one it may replace.
    const bool keyButtons = keySet && !s.keyEntryOpen;
    v.cmdQuickKey = Shown(true, KeyCommand);
    v.txbQuickKey = Shown(true, 0, KeyFieldHint);
    v.cmdHideShowQuickKey = {true, keyButtons, s.key == KeyState::Hidden ? ShowKey : HideKey, 0};
    v.cmdClearQuickKey = {true, keyButtons, Clear, 0};
    v.lblNoKeySpecified = {true, !keySet, NoKeySpecified, 0};
    v.lblLanguage = Shown(true, LanguageLabel);
    v.cboLanguage = Shown(true);
}

void Commands(const MainWindowState& s, MainWindowView& v)
{
    const bool encrypt = s.mode == WindowMode::Encrypt;
    const int checksum = s.key == KeyState::None ? 0 : KeyChecksumIs;
    v.cmdEncryptMessage = Shown(encrypt, EncryptCommand, checksum);
    v.cmdDecryptMessage = Shown(!encrypt, DecryptCommand, checksum);
    // A grey view button says why when the message alone was too short to measure.
    v.cmdViewCiphertext = Shown(encrypt && s.view == CiphertextView::Measured, ViewCiphertext,
                                s.view == CiphertextView::TooShort ? TooShortToMeasure : 0);
    v.cmdCopyAsText = Shown(encrypt && s.ciphertextHeld, CopyAsText, CopyAsTextHint);
    // They send the file on disk, whatever the text box holds by now.
    const bool sendable = encrypt && s.ciphertextFileExists && !s.mailStarting;
    // They stand in the output file's row, which in decrypt mode names the attached file's folder.
    v.cmdSendByMail = encrypt ? Shown(sendable, SendByMail, SendByMailHint) : Hidden(SendByMail);
    v.cmdSendAsText = encrypt ? Shown(sendable, SendAsText, SendAsTextHint) : Hidden(SendAsText);
    v.cmdHelp = Shown(true, Help);
    v.cmdQuit = Shown(true, Quit);
    v.prgWork = Hidden();
    v.cmdStop = Hidden(RunTexts::Stop);
    v.lblTavolan = Shown(true);
}

// While a command runs nothing may start beside it: every control is disabled, except Stop (until
// it was pressed) and Quit, which stops the run and then ends the program. What is shown stays
// where it was, so the window does not jump.
void DuringRun(const MainWindowState& s, MainWindowView& v)
{
    for (ControlView* control : {&v.optEncrypt,
                                 &v.optDecrypt,
                                 &v.txbText,
                                 &v.cmdLoadSaveTextbox[0],
                                 &v.cmdLoadSaveTextbox[1],
                                 &v.cmdEnlargeTextbox,
                                 &v.cmdClearTextbox,
                                 &v.Frame1,
                                 &v.cmdSpecifyFile[0],
                                 &v.cmdSpecifyFile[1],
                                 &v.txbFile[0],
                                 &v.txbFile[1],
                                 &v.cmdClearFile[0],
                                 &v.cmdClearFile[1],
                                 &v.lblAppendedFile,
                                 &v.cmdQuickKey,
                                 &v.txbQuickKey,
                                 &v.cmdHideShowQuickKey,
                                 &v.cmdClearQuickKey,
                                 &v.lblNoKeySpecified,
                                 &v.lblLanguage,
                                 &v.cboLanguage,
                                 &v.cmdEncryptMessage,
                                 &v.cmdDecryptMessage,
                                 &v.cmdViewCiphertext,
                                 &v.cmdCopyAsText,
                                 &v.cmdSendByMail,
                                 &v.cmdSendAsText,
                                 &v.cmdHelp,
                                 &v.lblTavolan})
        control->enabled = false;
    // The key box is the busy line; the "no key" label would lie over it.
    v.lblNoKeySpecified.visible = false;
    const bool stopping = s.stage == RunStage::Stopping;
    const int busy = s.runningCommand == WindowMode::Encrypt ? EncryptTexts::Busy : DecryptTexts::Busy;
    v.txbQuickKey.caption = stopping ? RunTexts::Stopping : busy;
    v.prgWork = Shown(true);
    v.cmdStop = Shown(!stopping, RunTexts::Stop, RunTexts::StopHint);
}

} // namespace

MainWindowView DeriveView(const MainWindowState& state)
{
    MainWindowView view;
    MessageArea(state, view);
    FileRows(state, view);
    KeyGroup(state, view);
    Commands(state, view);
    if (state.Busy())
        DuringRun(state, view);
    return view;
}
