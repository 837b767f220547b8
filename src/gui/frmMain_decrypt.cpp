// The decrypt command of the main window: checks the key, borrows the key field as a busy line, runs
// the decrypt pipeline and shows its outcome: the message, and the row of the attached file.
#include "gui/frmMain.h"

#include "format/ArmoredText.h"
#include "pipeline/DecryptPipeline.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int ShowKeyCaption = 380; // cmdHideShowQuickKey while the key is hidden

// The row of the attached file: Frame1 with lblAppendedFile where cmdSpecifyFile(1) stands.
void ShowAttachedFileRow(frmMain& window, bool visible, const QString& caption, const QString& path)
{
    window.cmdSpecifyFile[1]->setVisible(false);
    window.lblAppendedFile->setText(caption);
    window.lblAppendedFile->setVisible(visible);
    window.txbFile[1]->setText(path);
    window.Frame1->setVisible(visible);
}

} // namespace

void frmMain::cmdDecryptMessage_Click()
{
    if (QuickKey.isEmpty()) {
        NoKeyMessage();
        return;
    }
    if (cmdHideShowQuickKey->text() == ProgramText(ShowKeyCaption) && AskToShowHiddenKey())
        return;
    // A text block in the text box (pasted there) is decrypted as if it were the file.
    const QByteArray shownText = txbText->toPlainText().toUtf8();
    const bool blockInTextBox = Armor::Decode(shownText).found != Armor::Found::NoBlock;
    txbText->clear();
    cmdSpecifyFile[1]->raise();
    ShowAttachedFileRow(*this, false, lblAppendedFile->text(), {});

    const QString keptKeyText = txbQuickKey->text();
    ShowBusyLine(DecryptBusyText(CurrentLanguage));
    SetControlsEnabled(false, false, false, true);
    cmdQuit->setEnabled(true);

    DecryptRequest request;
    request.ciphertextPath = txbFile[0]->text();
    if (blockInTextBox)
        request.ciphertext = shownText;
    request.quickKey = QuickKey;
    request.language = CurrentLanguage;
    request.workingFolderBase = WorkingFolderBase;
    request.workingFolders = &RunFolders;
    // The folder row stands behind the folder chooser while the user picks a folder.
    request.showFolderControls = [this](const QString& caption) { ShowAttachedFileRow(*this, true, caption, {}); };
    const DecryptOutcome outcome = DecryptMessage(request, dialogs);

    txbText->setPlainText(outcome.message.value_or(QString()));
    ShowAttachedFileRow(*this, outcome.showFolderFrame, outcome.appendedFileCaption, outcome.writtenFilePath);
    SetControlsEnabled(true, false, false, true);
    ShowBusyLine({});
    txbQuickKey->setText(keptKeyText);
    cmdEncryptMessage->setEnabled(false);
    cmdViewCiphertext->setEnabled(false);
    ViewCiphertextWasEnabled = false;
    SetTheFocus();
}

bool frmMain::PasteArmoredBlock()
{
    const QString pasted = QGuiApplication::clipboard()->text();
    if (Armor::Decode(pasted.toUtf8()).found == Armor::Found::NoBlock)
        return false;
    txbText->setPlainText(pasted);
    if (cmdDecryptMessage->isEnabled())
        cmdDecryptMessage_Click();
    return true;
}
