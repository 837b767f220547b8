// The render of the main window: DeriveView(State) applied to the controls. Nothing else in the
// window enables, shows or captions a control; events change State and call Render.
#include "gui/frmMain.h"

#include "gui/AccessibleControls.h"

#include "keys/KeyRoutines.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/PipelineMessages.h"
#include "texts/WindowTexts.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

// Sets only what changed, so that a screen reader hears of a change once and nothing flickers.
void Apply(QWidget* control, const ControlView& view)
{
    if (control->isEnabledTo(control->parentWidget()) != view.enabled)
        control->setEnabled(view.enabled);
    if (control->isHidden() == view.visible)
        control->setVisible(view.visible);
}

template <typename Captioned> void SetCaption(Captioned* control, const QString& caption)
{
    if (control->text() != caption)
        control->setText(caption);
}

void SetToolTip(QWidget* control, const QString& tip)
{
    if (control->toolTip() != tip)
        control->setToolTip(tip);
}

void SetBold(QWidget* widget, bool bold)
{
    if (widget->font().bold() == bold)
        return;
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

// Bold and centred while the key box is the busy line; the usual look otherwise.
void SetKeyBoxLook(QLineEdit* field, bool busy)
{
    SetBold(field, busy);
    field->setAlignment(busy ? Qt::AlignCenter : Qt::AlignLeft);
}

} // namespace

void frmMain::Render()
{
    const MainWindowView view = DeriveView(State);
    const auto button = [this](QAbstractButton* control, const ControlView& v) {
        Apply(control, v);
        if (v.caption != 0)
            SetCaption(control, Caption(control, v.caption));
        SetToolTip(control, v.tooltip == 0 ? QString() : ProgramText(v.tooltip));
    };
    button(optEncrypt, view.optEncrypt);
    button(optDecrypt, view.optDecrypt);
    for (int i = 0; i < 2; ++i) {
        button(cmdLoadSaveTextbox[i], view.cmdLoadSaveTextbox[i]);
        button(cmdSpecifyFile[i], view.cmdSpecifyFile[i]);
        button(cmdClearFile[i], view.cmdClearFile[i]);
        Apply(txbFile[i], view.txbFile[i]);
        SetToolTip(txbFile[i], view.txbFile[i].tooltip == 0 ? QString() : ProgramText(view.txbFile[i].tooltip));
    }
    button(cmdEnlargeTextbox, view.cmdEnlargeTextbox);
    button(cmdClearTextbox, view.cmdClearTextbox);
    button(cmdQuickKey, view.cmdQuickKey);
    button(cmdHideShowQuickKey, view.cmdHideShowQuickKey);
    button(cmdClearQuickKey, view.cmdClearQuickKey);
    button(cmdViewCiphertext, view.cmdViewCiphertext);
    button(cmdCopyAsText, view.cmdCopyAsText);
    button(cmdSendByMail, view.cmdSendByMail);
    button(cmdSendAsText, view.cmdSendAsText);
    button(cmdHelp, view.cmdHelp);
    button(cmdQuit, view.cmdQuit);
    button(cmdStop, view.cmdStop);
    // The commands carry the key's checksum, so the user sees which key they will use.
    const QString checksum = QuickKey.isEmpty() ? QString() : QString::number(Keys::KeyChecksum(QuickKey));
    for (auto [command, v] :
         {std::pair{cmdEncryptMessage, view.cmdEncryptMessage}, std::pair{cmdDecryptMessage, view.cmdDecryptMessage}}) {
        Apply(command, v);
        SetCaption(command, Caption(command, v.caption));
        SetToolTip(command, v.tooltip == 0 ? QString() : ProgramText(v.tooltip) + u' ' + checksum);
    }

    Apply(txbText, view.txbText);
    SetToolTip(txbText, view.txbText.tooltip == 0 ? QString() : ProgramText(view.txbText.tooltip));
    if (txbText->isReadOnly() != view.textReadOnly)
        txbText->setReadOnly(view.textReadOnly);
    Apply(lblNoKeySpecified, view.lblNoKeySpecified);
    SetCaption(lblNoKeySpecified, ProgramText(view.lblNoKeySpecified.caption));
    Apply(lblLanguage, view.lblLanguage);
    SetCaption(lblLanguage, Caption(lblLanguage, view.lblLanguage.caption));
    Apply(cboLanguage, view.cboLanguage);
    Apply(lblTavolan, view.lblTavolan);
    Apply(prgWork, view.prgWork);
    Apply(txbQuickKey, view.txbQuickKey);
    SetToolTip(txbQuickKey, ProgramText(view.txbQuickKey.tooltip));
    RenderKeyBox(view.txbQuickKey.caption);
    RenderModes();
    RenderFileRows();
    Apply(Frame1, view.Frame1);
    Apply(lblAppendedFile, view.lblAppendedFile);
    const int fate = view.lblAppendedFile.caption;
    // "Saved as:" and "Folder for attached file:" name the path beside them.
    const bool namesPath = fate == DecryptTexts::SavedAs || fate == DecryptTexts::FolderCaption;
    SetCaption(lblAppendedFile, ProgramText(fate) + (namesPath ? QStringLiteral(":") : QString()));
    // The output row's button lies on top of the label in encrypt mode.
    if (view.cmdSpecifyFile[1].visible)
        cmdSpecifyFile[1]->raise();
    ApplyAccessibleTexts();
}

void frmMain::RenderModes()
{
    const bool encrypt = EncryptMode();
    if (optEncrypt->isChecked() != encrypt || optDecrypt->isChecked() == encrypt) {
        const QSignalBlocker quietEncrypt(optEncrypt);
        const QSignalBlocker quietDecrypt(optDecrypt);
        (encrypt ? optEncrypt : optDecrypt)->setChecked(true);
    }
    SetBold(optEncrypt, encrypt);
    SetBold(optDecrypt, !encrypt);
}

void frmMain::RenderFileRows()
{
    for (int i = 0; i < 2; ++i)
        if (txbFile[i]->text() != State.File(i))
            txbFile[i]->setText(State.File(i));
}

void frmMain::RenderKeyBox(int busyText)
{
    const bool busy = busyText != 0;
    const QString busyLine = busy ? BusyText(busyText, State.language) : QString();
    if (busy) {
        if (txbQuickKey->text() != busyLine) {
            EmptyKeyBox();
            txbQuickKey->setText(busyLine);
        }
    } else if (State.key == KeyState::Shown) {
        if (txbQuickKey->text() != QuickKey)
            ShowKeyInBox();
    } else if (!txbQuickKey->text().isEmpty()) {
        EmptyKeyBox();
    }
    SetKeyBoxLook(txbQuickKey, busy);
    ColourKeyBox(busy);
    const QString progressName = busyLine.trimmed();
    if (prgWork->accessibleName() != progressName)
        prgWork->setAccessibleName(progressName);
}
