// Keyboard and assistive technology in the main window: the accessible names and descriptions of the
// controls (from the program texts, in the current language), the label of the language list, the
// order in which Tab walks the controls, Tab leaving the message box, Enter and Space on the fields
// that open a chooser, and the window's colours (from the desktop's palette, each text readable on
// its ground).
#include "gui/AccessibleControls.h"
#include "gui/FocusRing.h"
#include "gui/ReadableColours.h"
#include "gui/frmMain.h"
#include "keys/KeyRoutines.h"
#include "texts/WindowTexts.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>

namespace {

// The mode band is the window's own: yellow on dark blue reads on a light desktop and a dark one
// alike, and tells the mode at a glance. A disabled mode (while a command works) is grey on it.
const QColor ModeBandColour(0x20, 0x30, 0x50);
const QColor ModeTextColour(0xFF, 0xFF, 0x00);
const QColor DisabledModeColour(0x9A, 0x9A, 0x9A);
// The busy line is red, darkened on a light key box and lightened on a dark one until it reads.
const QColor BusyLineColour(0xFF, 0x00, 0x00);

struct OwnColour {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    QColor colour;
};

// Gives `widget` these colours of its own; every other colour it takes from its parent, so that a
// new desktop palette reaches it.
void SetOwnColours(QWidget* widget, std::initializer_list<OwnColour> colours)
{
    QPalette own;
    for (const OwnColour& c : colours)
        own.setColor(c.group, c.role, c.colour);
    widget->setPalette(own);
}

// A colour drawn with transparency as it shows on `ground`.
QColor AsShownOn(const QColor& colour, const QColor& ground)
{
    const double a = colour.alphaF();
    return QColor::fromRgbF(float(colour.redF() * a + ground.redF() * (1 - a)),
                            float(colour.greenF() * a + ground.greenF() * (1 - a)),
                            float(colour.blueF() * a + ground.blueF() * (1 - a)));
}

// Sets only what changed, so that a screen reader hears of a change once. Names and descriptions
// are read as one line: the line breaks of a program text would be spoken or shown as symbols.
void SetAccessibleText(QWidget* widget, const QString& name, const QString& description = {})
{
    const QString oneLineName = name.simplified();
    const QString oneLineDescription = description.simplified();
    if (widget->accessibleName() != oneLineName)
        widget->setAccessibleName(oneLineName);
    if (widget->accessibleDescription() != oneLineDescription)
        widget->setAccessibleDescription(oneLineDescription);
}

bool IsActivationKey(const QKeyEvent* key)
{
    const int k = key->key();
    return key->modifiers() == Qt::NoModifier && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space);
}

} // namespace

void frmMain::ApplyAccessibleTexts()
{
    using namespace MainWindowTexts;
    SetAccessibleText(txbText, ProgramText(Message), ProgramText(MessageKeys));
    // What to type or load there, while there is nothing to read.
    const QString textHint = ProgramText(EncryptMode() ? MessagePlaceholder : DecryptedMessagePlaceholder);
    if (txbText->placeholderText() != textHint)
        txbText->setPlaceholderText(textHint);
    SetAccessibleText(txbFile[0], ProgramText(EncryptMode() ? FileToAppend : CiphertextFile));
    SetAccessibleText(txbFile[1], ProgramText(EncryptMode() ? OutputFile : SavedAttachedFile));
    // The label names the second field only where it is shown (decrypt mode); in encrypt mode the
    // field is named by the output button beside it.
    QWidget* const appendedFileBuddy = lblAppendedFile->isHidden() ? nullptr : txbFile[1];
    if (lblAppendedFile->buddy() != appendedFileBuddy)
        lblAppendedFile->setBuddy(appendedFileBuddy);
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
    // Named by what it shows and where it leads; the description says the same in a sentence.
    SetAccessibleText(lblTavolan, lblTavolan->text() + QStringLiteral(": ") + ProgramText(HelpPageLinkName),
                      ProgramText(LinkOpens));
    SetAccessibleText(prgWork, prgWork->accessibleName(), ProgramText(WorkStops));
}

void frmMain::SetUpKeyboardAccess()
{
    lblLanguage->setBuddy(cboLanguage);
    // Tab belongs to moving on; Ctrl+Tab types a tab into the message (see eventFilter).
    txbText->setTabChangesFocus(true);
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
                                   cmdSendByMail,
                                   cmdSendAsText,
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

void frmMain::ApplyColours()
{
    using namespace ReadableColours;
    const QPalette desktop = palette();
    const auto colour = [&](QPalette::ColorRole role, QPalette::ColorGroup group = QPalette::Active) {
        return desktop.color(group, role);
    };
    const auto disabled = [&](QPalette::ColorRole text, QPalette::ColorRole ground) {
        return OwnColour{QPalette::Disabled, text,
                         Disabled(colour(text, QPalette::Disabled), colour(text), colour(ground, QPalette::Disabled))};
    };
    const OwnColour disabledWindowText = disabled(QPalette::WindowText, QPalette::Window);
    const QColor base = colour(QPalette::Base);
    const OwnColour placeholder{QPalette::All, QPalette::PlaceholderText,
                                Readable(AsShownOn(colour(QPalette::PlaceholderText), base), base)};
    for (QWidget* part : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        SetOwnColours(part, {disabledWindowText, disabled(QPalette::ButtonText, QPalette::Button),
                             disabled(QPalette::Text, QPalette::Base), placeholder});
    SetOwnColours(lblTavolan,
                  {{QPalette::All, QPalette::WindowText, Readable(colour(QPalette::Link), colour(QPalette::Window))},
                   disabledWindowText});

    // The band, and the mode indicators drawn on it: their face is the band's blue, so the checked
    // dot (drawn in the text colour) stands out instead of vanishing on a white disc.
    const QColor dimMode = Readable(DisabledModeColour, ModeBandColour, DisabledContrast);
    SetOwnColours(findChild<QWidget*>(QStringLiteral("ModeBand")),
                  {{QPalette::All, QPalette::Window, ModeBandColour},
                   {QPalette::All, QPalette::Base, ModeBandColour},
                   {QPalette::All, QPalette::WindowText, Readable(ModeTextColour, ModeBandColour)},
                   {QPalette::All, QPalette::Text, Readable(ModeTextColour, ModeBandColour)},
                   {QPalette::Disabled, QPalette::WindowText, dimMode},
                   {QPalette::Disabled, QPalette::Text, dimMode}});
    ColourKeyBox(State.Busy());
}

// The busy line is read while the box is disabled (a command works), so it reads on both faces.
void frmMain::ColourKeyBox(bool busy)
{
    using namespace ReadableColours;
    if (!busy) {
        SetOwnColours(txbQuickKey, {});
        return;
    }
    const QPalette desktop = palette();
    const QColor onBox = Readable(BusyLineColour, desktop.color(QPalette::Active, QPalette::Base));
    SetOwnColours(txbQuickKey, {{QPalette::All, QPalette::Text,
                                 Readable(onBox, desktop.color(QPalette::Disabled, QPalette::Base))}});
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A new desktop palette (a dark theme chosen while the window is open) reaches every colour.
    if (event->type() == QEvent::PaletteChange)
        ApplyColours();
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
    // The key and file fields are read-only: what a click on them does, Enter and Space do too.
    if (!IsActivationKey(key))
        return false;
    if (watched == txbQuickKey) {
        txbQuickKey_Click();
        return true;
    }
    for (int i = 0; i < 2; ++i)
        if (watched == txbFile[i]) {
            txbFile_Click(i);
            return true;
        }
    return false;
}
