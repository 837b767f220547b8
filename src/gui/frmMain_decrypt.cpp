// The decrypt command of the main window: checks the key, borrows the key field as a busy line, runs
// the decrypt pipeline and shows its outcome: the message, and the row of the attached file.
#include "gui/frmMain.h"

#include "format/ArmoredText.h"
#include "gui/RunDialogs.h"
#include "pipeline/DecryptPipeline.h"
#include "texts/Language.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

AttachedFileFate FateShown(AttachmentFate fate)
{
    switch (fate) {
    case AttachmentFate::None:
        return AttachedFileFate::None;
    case AttachmentFate::Saved:
        return AttachedFileFate::Saved;
    case AttachmentFate::Abandoned:
        return AttachedFileFate::NotSaved;
    case AttachmentFate::UnsafeName:
    case AttachmentFate::WriteFailed:
        return AttachedFileFate::CouldNotSave;
    }
    return AttachedFileFate::None;
}

} // namespace

void frmMain::cmdDecryptMessage_Click()
{
    const QString textBefore = txbText->toPlainText();
    // The file the user named is what is read. Only with none named is a text block in the text box
    // (pasted there) decrypted as if it were the file: the box may hold anything, even a message
    // that quotes a block.
    const QByteArray shownText = textBefore.toUtf8();
    const bool blockInTextBox = txbFile[0]->text().isEmpty() && Armor::Decode(shownText).found != Armor::Found::NoBlock;
    // The file comes first: one that is missing or not ours needs no key to be refused.
    if (RefuseCiphertextSource(txbFile[0]->text(), blockInTextBox ? std::optional(shownText) : std::nullopt))
        return;
    if (QuickKey.isEmpty()) {
        NoKeyMessage();
        FocusOn(Remedy::Key);
        return;
    }
    if (KeyHidden() && AskToShowHiddenKey())
        return;
    // What a stopped run gives back.
    const MainWindowState before = State;
    const QByteArray ciphertextBefore = LastCiphertext;
    txbText->clear();
    State.fate = AttachedFileFate::None;
    State.File(1).clear();

    RunDialogs reports(dialogs);
    DecryptRequest request;
    request.ciphertextPath = txbFile[0]->text();
    if (blockInTextBox)
        request.ciphertext = shownText;
    request.quickKey = QuickKey;
    request.language = State.language;
    request.workingFolderBase = WorkingFolderBase;
    request.workingFolders = &RunFolders;
    // The folder row stands behind the folder chooser while the user picks a folder.
    request.beforeFolderChoice = [this] {
        State.fate = AttachedFileFate::AskingFolder;
        Render();
    };
    // The message is in the text box before any question about the attached file.
    request.showMessage = [this](const QString& message) { txbText->setPlainText(message); };
    request.control = BeginWork(WindowMode::Decrypt);
    const DecryptOutcome outcome = DecryptMessage(request, reports);
    const bool quit = EndWork();
    if (outcome.status == DecryptStatus::Stopped) {
        // The window as before the run: its message, its rows, its latest ciphertext.
        txbText->setPlainText(textBefore);
        State = before;
        LastCiphertext = ciphertextBefore;
    } else {
        ShowDecryptOutcome(outcome);
    }
    Render();
    reports.ShowHeld();
    FocusOn(reports.LastRemedy());
    if (quit)
        close();
}

void frmMain::ShowDecryptOutcome(const DecryptOutcome& outcome)
{
    txbText->setPlainText(outcome.message.value_or(QString()));
    State.fate = FateShown(outcome.attachment);
    State.File(1) = outcome.writtenFilePath;
    State.view = CiphertextView::None;
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
