// The decrypt command of the main window: checks the key, borrows the key field as a busy line, runs
// the decrypt pipeline and shows its outcome: the message, and the row of the attached file.
#include "gui/frmMain.h"

#include "format/ArmoredText.h"
#include "pipeline/DecryptPipeline.h"
#include "texts/Language.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

void frmMain::ShowAttachedFileRow(bool visible, const QString& caption, const QString& path)
{
    cmdSpecifyFile[1]->setVisible(false);
    lblAppendedFile->setText(caption);
    lblAppendedFile->setVisible(visible);
    txbFile[1]->setText(path);
    Frame1->setVisible(visible);
}

namespace {

// The caption of lblAppendedFile for what became of the attached file ("" when none came along).
QString AttachedFileCaption(AttachmentFate fate, int language)
{
    using namespace DecryptTexts;
    switch (fate) {
    case AttachmentFate::None:
        return {};
    case AttachmentFate::Saved:
        return Language::GetProgramText(SavedAs, language) + ':';
    case AttachmentFate::Abandoned:
        return Language::GetProgramText(NotSaved, language);
    case AttachmentFate::UnsafeName:
    case AttachmentFate::WriteFailed:
        return Language::GetProgramText(CouldNotSave, language);
    }
    return {};
}

} // namespace

void frmMain::cmdDecryptMessage_Click()
{
    if (QuickKey.isEmpty()) {
        NoKeyMessage();
        return;
    }
    if (KeyHidden() && AskToShowHiddenKey())
        return;
    // The file the user named is what is read. Only with none named is a text block in the text box
    // (pasted there) decrypted as if it were the file: the box may hold anything, even a message
    // that quotes a block.
    const QByteArray shownText = txbText->toPlainText().toUtf8();
    const bool blockInTextBox = txbFile[0]->text().isEmpty() && Armor::Decode(shownText).found != Armor::Found::NoBlock;
    txbText->clear();
    cmdSpecifyFile[1]->raise();
    ShowAttachedFileRow(false, lblAppendedFile->text(), {});

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
    request.beforeFolderChoice = [this] {
        ShowAttachedFileRow(true, ProgramText(DecryptTexts::FolderCaption) + ':', {});
    };
    // The message is in the text box before any question about the attached file.
    request.showMessage = [this](const QString& message) { txbText->setPlainText(message); };
    request.control = BeginWork();
    const DecryptOutcome outcome = DecryptMessage(request, dialogs);
    const bool quit = EndWork();

    txbText->setPlainText(outcome.message.value_or(QString()));
    ShowAttachedFileRow(outcome.attachment != AttachmentFate::None,
                        AttachedFileCaption(outcome.attachment, CurrentLanguage), outcome.writtenFilePath);
    SetControlsEnabled(true, false, false, true);
    ShowBusyLine({});
    txbQuickKey->setText(keptKeyText);
    cmdEncryptMessage->setEnabled(false);
    RetireCiphertextView();
    // The decrypt mode's own states: the read-only text box loads nothing, the output row has no button.
    cmdLoadSaveTextbox[0]->setEnabled(false);
    if (txbFile[1]->text().isEmpty())
        cmdSpecifyFile[1]->setEnabled(false);
    UpdateTextToolButtons();
    SetTheFocus();
    if (quit)
        close();
}

bool frmMain::PasteArmoredBlock()
{
    const QString pasted = QGuiApplication::clipboard()->text();
    if (Armor::Decode(pasted.toUtf8()).found == Armor::Found::NoBlock)
        return false;
    // The pasted block is what the user now wants read, not a file named earlier.
    if (!txbFile[0]->text().isEmpty())
        cmdClearFile_Click(0);
    txbText->setPlainText(pasted);
    if (cmdDecryptMessage->isEnabled())
        cmdDecryptMessage_Click();
    return true;
}
