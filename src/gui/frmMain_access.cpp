// Keyboard and assistive technology in the main window: the accessible names and descriptions of the
// controls (from the program texts, in the current language), the label of the language list, the
// order in which Tab walks the controls, Tab leaving the message box, the help link taken by
// keyboard, and the colours of the mode band and of disabled controls.
#include "gui/FocusRing.h"
#include "gui/frmMain.h"
#include "keys/KeyRoutines.h"
#include "texts/WindowTexts.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Grey that keeps 4.5:1 against the light window and button faces, well above the 3:1 that a
// disabled control's outline and text need to be seen at all.
const QColor DisabledTextColour(0x6E, 0x6E, 0x6E);
// On the dark mode band: clearly dimmer than the yellow of an enabled mode, still 4.4:1 against it.
const QColor DisabledModeColour(0x9A, 0x9A, 0x9A);
const QColor ModeIndicatorFace(0x20, 0x30, 0x50);

// Sets only what changed, so that a screen reader hears of a change once.
void SetAccessibleText(QWidget* widget, const QString& name, const QString& description = {})
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

bool IsActivationKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

void frmMain::ApplyAccessibleTexts()
{
    using namespace MainWindowTexts;
    SetAccessibleText(txbText, ProgramText(Message), ProgramText(MessageKeys));
    SetAccessibleText(txbFile[0], ProgramText(EncryptMode() ? FileToAppend : CiphertextFile));
    SetAccessibleText(txbFile[1], ProgramText(EncryptMode() ? OutputFile : SavedAttachedFile));
    const bool keyHidden = KeyHidden();
    SetAccessibleText(txbQuickKey, ProgramText(keyHidden ? KeyHiddenName : KeyCommand), ProgramText(KeyFieldHint));
    // An empty box would say "no key"; a row of dots and the checksum say that one is set.
    const QString hiddenMark = keyHidden
                                   ? QString(8, QChar(0x25CF)) + QStringLiteral("  ") + ProgramText(KeyChecksumIs) +
                                         ' ' + QString::number(Keys::KeyChecksum(QuickKey))
                                   : QString();
    if (txbQuickKey->placeholderText() != hiddenMark)
        txbQuickKey->setPlaceholderText(hiddenMark);
    SetAccessibleText(cmdClearTextbox, ProgramText(ClearMessage));
    SetAccessibleText(cmdClearFile[0], ProgramText(EncryptMode() ? ClearFileToAttach : ClearCiphertextFile));
    SetAccessibleText(cmdClearFile[1], ProgramText(ClearOutputFile));
    SetAccessibleText(cmdClearQuickKey, ProgramText(ClearKey));
    SetAccessibleText(cboLanguage, ProgramText(LanguageName));
    SetAccessibleText(lblTavolan, lblTavolan->text(), ProgramText(LinkOpens));
    SetAccessibleText(prgWork, prgWork->accessibleName(), ProgramText(WorkStops));
}

void frmMain::SetUpKeyboardAccess()
{
    lblLanguage->setBuddy(cboLanguage);
    lblAppendedFile->setBuddy(txbFile[1]);
    // Tab belongs to moving on; Ctrl+Tab types a tab into the message (see eventFilter).
    txbText->setTabChangesFocus(true);
    // The help link is reached by Tab like a button and opened by Enter or Space.
    lblTavolan->setFocusPolicy(Qt::StrongFocus);
    // Enter presses the button that has the focus, as Space does.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(true);

    // The order of the work: mode, message, file, output, key, command; then the rest.
    const QList<QWidget*> order = {optEncrypt,
                                   optDecrypt,
                                   txbText,
                                   cmdLoadSaveTextbox[0],
                                   cmdLoadSaveTextbox[1],
                                   cmdEnlargeTextbox,
                                   cmdClearTextbox,
                                   cmdSpecifyFile[0],
                                   txbFile[0],
                                   cmdClearFile[0],
                                   cmdSpecifyFile[1],
                                   txbFile[1],
                                   cmdClearFile[1],
                                   cmdQuickKey,
                                   txbQuickKey,
                                   cmdHideShowQuickKey,
                                   cmdClearQuickKey,
                                   cmdEncryptMessage,
                                   cmdDecryptMessage,
                                   cmdViewCiphertext,
                                   cmdCopyAsText,
                                   cmdHelp,
                                   cmdQuit,
                                   cboLanguage,
                                   lblTavolan};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    txbText->installEventFilter(this);
    // The style's own focus line is too faint to find, on the dark band not there at all.
    // It lives among the window's widgets, beside whichever control has the focus.
    new FocusRing(*this);
}

void frmMain::ApplyAccessibleColours()
{
    QPalette windowPalette = palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        windowPalette.setColor(QPalette::Disabled, role, DisabledTextColour);
    setPalette(windowPalette);
    // The mode indicators are drawn on the dark band itself, so the checked dot (drawn in the text
    // colour) stands out from its face instead of vanishing on a white one.
    for (QRadioButton* mode : {optEncrypt, optDecrypt}) {
        QPalette modePalette = mode->palette();
        modePalette.setColor(QPalette::Base, ModeIndicatorFace);
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            modePalette.setColor(QPalette::Disabled, role, DisabledModeColour);
        mode->setPalette(modePalette);
    }
}

bool frmMain::HandleAccessKeys(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == txbText && key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
        if (!txbText->isReadOnly())
            txbText->insertPlainText(QStringLiteral("\t"));
        return true;
    }
    if (watched == lblTavolan && IsActivationKey(key->key()) && key->modifiers() == Qt::NoModifier) {
        lblTavolan_Click();
        return true;
    }
    return false;
}
