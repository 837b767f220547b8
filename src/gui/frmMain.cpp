#include "gui/frmMain.h"

#include "gui/AccessibleControls.h"
#include "gui/FitToScreen.h"
#include "gui/frmKeyboardWithDisplay.h"
#include "keys/KeyRoutines.h"
#include "pipeline/Dialogs.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/NumberLocale.h"
#include "texts/WindowTexts.h"

#include <QClipboard>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

namespace {

using namespace MainWindowTexts;

constexpr int ClockIntervalMs = 1000;
// The size the window opens at where the screen has room for it.
constexpr QSize WindowSize(780, 538);
// Room right of the clipboard label, so its text does not touch the window's edge.
constexpr int ClipboardLabelInset = 14;

// Texts that announce a count carry the digit "2" where the count goes; the count is written as the
// window's language writes numbers.
QString WithCount(const QString& text, qsizetype count, int language)
{
    QString result = text;
    const qsizetype at = result.indexOf(QLatin1Char('2'));
    if (at >= 0)
        result.replace(at, 1, NumberLocale(language).toString(static_cast<qlonglong>(count)));
    return result;
}

QFrame* makeFrame(QWidget* parent, const char* name)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// A button wide enough for each caption it can carry, with air on both sides of the text.
void fitToCaptions(QWidget* button, const QStringList& captions)
{
    constexpr int Air = 24;
    int width = 0;
    for (const QString& caption : captions)
        width = qMax(width, button->fontMetrics().horizontalAdvance(caption));
    button->setMinimumWidth(width + Air);
}

// Hidden controls keep their place, so the window does not jump when a mode or key state changes.
void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

// The controls of a row stand apart by the style's spacing, so that none touches its neighbour
// (a grid with a control spanning several cells otherwise lets them meet).
void SpaceRowsByStyle(QWidget& window)
{
    const QStyle* style = window.style();
    int spacing = style->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &window);
    if (spacing < 0)
        spacing = style->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Horizontal);
    if (spacing < 0)
        spacing = window.fontMetrics().averageCharWidth();
    for (QLayout* layout : window.findChildren<QLayout*>()) {
        if (auto* grid = qobject_cast<QGridLayout*>(layout))
            grid->setHorizontalSpacing(spacing);
        else if (auto* row = qobject_cast<QHBoxLayout*>(layout))
            row->setSpacing(spacing);
    }
}

} // namespace

frmMain::frmMain(Dialogs& dialogs, const QString& workingFolderBase, QWidget* parent)
    : QWidget(parent), dialogs(dialogs), WorkingFolderBase(workingFolderBase)
{
    setObjectName(QStringLiteral("frmMain"));
    BuildControls();
    ConnectHandlers();
    SetUpKeyboardAccess();
}

frmMain::~frmMain() = default;

// ---------------------------------------------------------------------------------------------
// Building the window

void frmMain::BuildControls()
{
    // Message area: mode band, text box, text-box tools.
    Frame4 = makeFrame(this, "Frame4");
    // Its colours are the window's own, set with the others (ApplyColours).
    auto* modeBand = named(new QFrame(Frame4), QStringLiteral("ModeBand"));
    modeBand->setAutoFillBackground(true);
    optEncrypt = named(new QRadioButton(modeBand), QStringLiteral("optEncrypt"));
    optDecrypt = named(new QRadioButton(modeBand), QStringLiteral("optDecrypt"));
    auto* modeLayout = new QHBoxLayout(modeBand);
    modeLayout->setContentsMargins(10, 4, 10, 4);
    modeLayout->addWidget(optEncrypt);
    modeLayout->addSpacing(30);
    modeLayout->addWidget(optDecrypt);
    modeLayout->addStretch();

    txbText = named(new QPlainTextEdit(Frame4), QStringLiteral("txbText"));
    auto* toolsLayout = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        cmdLoadSaveTextbox[i] = named(new QPushButton(Frame4), QStringLiteral("cmdLoadSaveTextbox%1").arg(i));
        toolsLayout->addWidget(cmdLoadSaveTextbox[i]);
    }
    cmdEnlargeTextbox = named(new QPushButton(Frame4), QStringLiteral("cmdEnlargeTextbox"));
    cmdClearTextbox = named(new QPushButton(Frame4), QStringLiteral("cmdClearTextbox"));
    toolsLayout->addWidget(cmdEnlargeTextbox);
    toolsLayout->addStretch();
    toolsLayout->addWidget(cmdClearTextbox);
    auto* messageLayout = new QVBoxLayout(Frame4);
    messageLayout->addWidget(modeBand);
    messageLayout->addWidget(txbText, 1);
    messageLayout->addLayout(toolsLayout);

    // File fields; lblAppendedFile shares the cell of cmdSpecifyFile(1), the button lying on top.
    Frame0 = makeFrame(this, "Frame0");
    // In decrypt mode the second row shows only once a file came along; till then the message box
    // takes its place.
    Frame1 = makeFrame(this, "Frame1");
    lblAppendedFile = named(new QLabel(Frame1), QStringLiteral("lblAppendedFile"));
    QFrame* fileFrames[2] = {Frame0, Frame1};
    for (int i = 0; i < 2; ++i) {
        cmdSpecifyFile[i] = named(new QPushButton(fileFrames[i]), QStringLiteral("cmdSpecifyFile%1").arg(i));
        txbFile[i] = named(new QLineEdit(fileFrames[i]), QStringLiteral("txbFile%1").arg(i));
        txbFile[i]->setReadOnly(true);
        cmdClearFile[i] = named(new QPushButton(fileFrames[i]), QStringLiteral("cmdClearFile%1").arg(i));
        keepPlaceWhenHidden(cmdClearFile[i]);
        auto* row = new QGridLayout(fileFrames[i]);
        if (i == 1)
            row->addWidget(lblAppendedFile, 0, 0);
        row->addWidget(cmdSpecifyFile[i], 0, 0);
        row->addWidget(txbFile[i], 0, 1);
        row->addWidget(cmdClearFile[i], 0, 2);
        row->setColumnStretch(1, 1);
    }

    // Key group and language; lblNoKeySpecified lies over the empty key box and lets clicks through
    // to it, so a click on "no key" still opens the key entry.
    Frame5 = makeFrame(this, "Frame5");
    cmdQuickKey = named(new QPushButton(Frame5), QStringLiteral("cmdQuickKey"));
    txbQuickKey = named(new QLineEdit(Frame5), QStringLiteral("txbQuickKey"));
    txbQuickKey->setReadOnly(true);
    cmdHideShowQuickKey = named(new QPushButton(Frame5), QStringLiteral("cmdHideShowQuickKey"));
    cmdClearQuickKey = named(new QPushButton(Frame5), QStringLiteral("cmdClearQuickKey"));
    keepPlaceWhenHidden(cmdHideShowQuickKey);
    keepPlaceWhenHidden(cmdClearQuickKey);
    lblNoKeySpecified = named(new QLabel(Frame5), QStringLiteral("lblNoKeySpecified"));
    lblNoKeySpecified->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblNoKeySpecified->setIndent(8);
    // It reads as the key box it lies on.
    lblNoKeySpecified->setForegroundRole(QPalette::Text);
    lblNoKeySpecified->setBackgroundRole(QPalette::Base);
    lblLanguage = named(new QLabel(Frame5), QStringLiteral("lblLanguage"));
    cboLanguage = named(new LabelledComboBox(Frame5), QStringLiteral("cboLanguage"));
    auto* keyLayout = new QGridLayout(Frame5);
    keyLayout->addWidget(cmdQuickKey, 0, 0);
    keyLayout->addWidget(txbQuickKey, 0, 1);
    keyLayout->addWidget(cmdHideShowQuickKey, 0, 2);
    keyLayout->addWidget(cmdClearQuickKey, 0, 3);
    // Over the key box alone: a control spanning the Hide and Clear cells would let them touch.
    keyLayout->addWidget(lblNoKeySpecified, 0, 1);
    keyLayout->setColumnStretch(1, 1);
    keyLayout->setColumnMinimumWidth(4, 20);
    keyLayout->addWidget(lblLanguage, 0, 5);
    keyLayout->addWidget(cboLanguage, 0, 6);

    // Commands.
    Frame2 = makeFrame(this, "Frame2");
    cmdEncryptMessage = named(new QPushButton(Frame2), QStringLiteral("cmdEncryptMessage"));
    cmdDecryptMessage = named(new QPushButton(Frame2), QStringLiteral("cmdDecryptMessage"));
    cmdViewCiphertext = named(new QPushButton(Frame2), QStringLiteral("cmdViewCiphertext"));
    cmdCopyAsText = named(new QPushButton(Frame2), QStringLiteral("cmdCopyAsText"));
    // Beside the file they send, the ciphertext file just written; the command row stays narrow
    // enough for a small screen.
    cmdSendByMail = named(new QPushButton(Frame1), QStringLiteral("cmdSendByMail"));
    cmdSendAsText = named(new QPushButton(Frame1), QStringLiteral("cmdSendAsText"));
    auto* outputRow = static_cast<QGridLayout*>(Frame1->layout());
    outputRow->addWidget(cmdSendByMail, 0, 3);
    outputRow->addWidget(cmdSendAsText, 0, 4);
    cmdHelp = named(new QPushButton(Frame2), QStringLiteral("cmdHelp"));
    cmdQuit = named(new QPushButton(Frame2), QStringLiteral("cmdQuit"));
    prgWork = named(new QProgressBar(Frame2), QStringLiteral("prgWork"));
    prgWork->setRange(0, 0); // no measure of how far the work is: the bar only shows that it goes on
    prgWork->setTextVisible(false);
    cmdStop = named(new QPushButton(Frame2), QStringLiteral("cmdStop"));
    // Their room is kept when idle, so the window is wide enough for every command while a run shows them.
    keepPlaceWhenHidden(prgWork);
    keepPlaceWhenHidden(cmdStop);
    auto* commandLayout = new QHBoxLayout(Frame2);
    for (QPushButton* button : {cmdEncryptMessage, cmdDecryptMessage, cmdViewCiphertext, cmdCopyAsText})
        commandLayout->addWidget(button);
    commandLayout->addWidget(prgWork, 1);
    commandLayout->addWidget(cmdStop);
    commandLayout->addStretch();
    commandLayout->addWidget(cmdHelp);
    commandLayout->addWidget(cmdQuit);

    // Status line.
    lblTextbox = named(new QLabel(this), QStringLiteral("lblTextbox"));
    lblTavolan = named(new LinkLabel(this), QStringLiteral("lblTavolan"));
    lblClipboard = named(new QLabel(this), QStringLiteral("lblClipboard"));
    lblClipboard->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* statusLayout = new QHBoxLayout;
    statusLayout->addWidget(lblTextbox, 1);
    statusLayout->addWidget(lblTavolan);
    statusLayout->addWidget(lblClipboard, 1);
    statusLayout->addSpacing(ClipboardLabelInset);

    auto* windowLayout = new QVBoxLayout(this);
    windowLayout->addWidget(Frame4, 1);
    windowLayout->addWidget(Frame0);
    windowLayout->addWidget(Frame1);
    windowLayout->addWidget(Frame5);
    windowLayout->addWidget(Frame2);
    windowLayout->addLayout(statusLayout);
    SpaceRowsByStyle(*this);

    Clock = named(new QTimer(this), QStringLiteral("Clock"));
    Clock->setInterval(ClockIntervalMs);
}

void frmMain::ConnectHandlers()
{
    auto onClick = [this](QPushButton* button, void (frmMain::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    auto onIndexedClick = [this](QPushButton* button, void (frmMain::*handler)(int), int index) {
        connect(button, &QPushButton::clicked, this, [this, handler, index] { (this->*handler)(index); });
    };
    for (int i = 0; i < 2; ++i) {
        onIndexedClick(cmdLoadSaveTextbox[i], &frmMain::cmdLoadSaveTextbox_Click, i);
        onIndexedClick(cmdSpecifyFile[i], &frmMain::cmdSpecifyFile_Click, i);
        onIndexedClick(cmdClearFile[i], &frmMain::cmdClearFile_Click, i);
        connect(txbFile[i], &QLineEdit::textChanged, this, [this, i] { txbFile_Change(i); });
        txbFile[i]->installEventFilter(this);
    }
    onClick(cmdEnlargeTextbox, &frmMain::cmdEnlargeTextbox_Click);
    onClick(cmdClearTextbox, &frmMain::cmdClearTextbox_Click);
    onClick(cmdQuickKey, &frmMain::cmdQuickKey_Click);
    onClick(cmdHideShowQuickKey, &frmMain::cmdHideShowQuickKey_Click);
    onClick(cmdClearQuickKey, &frmMain::cmdClearQuickKey_Click);
    onClick(cmdEncryptMessage, &frmMain::cmdEncryptMessage_Click);
    onClick(cmdDecryptMessage, &frmMain::cmdDecryptMessage_Click);
    onClick(cmdViewCiphertext, &frmMain::cmdViewCiphertext_Click);
    onClick(cmdCopyAsText, &frmMain::cmdCopyAsText_Click);
    onClick(cmdSendByMail, &frmMain::cmdSendByMail_Click);
    onClick(cmdSendAsText, &frmMain::cmdSendAsText_Click);
    onClick(cmdHelp, &frmMain::cmdHelp_Click);
    onClick(cmdQuit, &frmMain::cmdQuit_Click);
    onClick(cmdStop, &frmMain::cmdStop_Click);

    connect(optEncrypt, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            optEncrypt_Click();
    });
    connect(optDecrypt, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            optDecrypt_Click();
    });
    // Only the user's choice counts; filling the list does not.
    connect(cboLanguage, &QComboBox::activated, this, [this] { cboLanguage_Click(); });
    connect(txbText, &QPlainTextEdit::textChanged, this, [this] { txbText_Change(); });
    connect(Clock, &QTimer::timeout, this, [this] { Clock_Timer(); });
    connect(lblTavolan, &LinkLabel::activated, this, [this] { lblTavolan_Click(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ShowClipboardSize(); });

    for (QWidget* widget : std::initializer_list<QWidget*>{txbQuickKey, lblClipboard, cmdHelp, cmdCopyAsText, txbText})
        widget->installEventFilter(this);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (HandleAccessKeys(watched, event))
        return true;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == txbQuickKey)
            txbQuickKey_Click();
        else if (watched == lblClipboard)
            lblClipboard_Click();
        for (int i = 0; i < 2; ++i)
            if (watched == txbFile[i])
                txbFile_Click(i);
        return false;
    }
    if (type == QEvent::KeyPress && watched == txbText && !EncryptMode() &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste))
        return PasteArmoredBlock();
    if (type == QEvent::KeyRelease && watched == cmdHelp) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        cmdHelp_KeyUp(key);
        return key == Qt::Key_F1; // not again as a key of the window
    }
    // The release of F1 in a line edit (the file fields, the key field) never reaches the window.
    if (type == QEvent::KeyRelease && qobject_cast<QLineEdit*>(watched) != nullptr &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        Form_KeyUp(Qt::Key_F1);
        return true;
    }
    for (int i = 0; i < 2; ++i) {
        if (watched != txbFile[i])
            continue;
        if (type == QEvent::DragEnter || type == QEvent::DragMove)
            return txbFile_DragOver(i, static_cast<QDragMoveEvent*>(event));
        if (type == QEvent::Drop)
            return txbFile_DragDrop(i, static_cast<QDropEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    Form_KeyUp(event->key());
    QWidget::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void frmMain::Form_Load()
{
    LoadingFinished = false;
    // The texts themselves are loaded by the start-up before the window is built.
    InitialiseMainWindow();

    // The one version of the project (CMake's project()), as --version and the package give it.
    setWindowTitle(QStringLiteral("Quillet " QUILLET_VERSION));
    lblTavolan->setText(ProgramText(MakerName));

    cmdClearQuickKey_Click();
    ApplyColours();

    State.language = Language::ChooseLanguage() == Language::German ? Language::German : Language::English;
    ApplyProgramTexts();
    PreviousLanguage = State.language;
    cboLanguage->setCurrentIndex(State.language);
    Language::StoreLanguage(State.language);

    Render();
    // At the screen's top left, as large as designed where the screen has room, else smaller.
    FitToScreen(*this, WindowSize);
    show();
    Clock->start();
    // Shows the sizes of text box and clipboard as the clock does (the clipboard is read once).
    SetTheFocus();
    LoadingFinished = true;
}

void frmMain::InitialiseMainWindow()
{
    ClearRM();
    State = MainWindowState{};
    State.language = Language::NotChosen;
    lblTextbox->clear();
    lblClipboard->clear();
    txbText->clear();
    txbQuickKey->clear();
}

// ---------------------------------------------------------------------------------------------
// Modes

void frmMain::optEncrypt_Click()
{
    SwitchMode(WindowMode::Encrypt);
}

void frmMain::optDecrypt_Click()
{
    SwitchMode(WindowMode::Decrypt);
}

// Each mode keeps its own file rows; switching shows the other mode's.
void frmMain::SwitchMode(WindowMode mode)
{
    if (!Working())
        State.mode = mode;
    Render();
    ShowClipboardSize();
    SetTheFocus();
}

// ---------------------------------------------------------------------------------------------
// Language and captions

QString frmMain::ProgramText(int number) const
{
    return Language::GetProgramText(number, State.language);
}

void frmMain::cboLanguage_Click()
{
    if (!LoadingFinished)
        return;
    State.language = cboLanguage->currentData().toInt();
    if (State.language != PreviousLanguage) {
        ApplyProgramTexts();
        PreviousLanguage = State.language;
        cboLanguage->setCurrentIndex(State.language);
        Language::StoreLanguage(State.language);
    }
    SetTheFocus();
}

void frmMain::SetLanguageDependentProgramText()
{
    ApplyProgramTexts();
}

void frmMain::ApplyProgramTexts()
{
    // The boxes' buttons and Qt's texts in the file dialogs speak the window's language.
    dialogs.setLanguage(State.language);
    FillLanguageList();

    MarkCaptions();
    ShowTextboxSize();
    ShowClipboardSize();
    Render();
    FitButtonsToCaptions();
    FitMinimumSize();
    update();
    // Secondary windows made so far follow the language; the others take it when they are made.
    if (KeyboardWindow != nullptr)
        KeyboardWindow->applyProgramTexts(State.language);
}

void frmMain::FitButtonsToCaptions()
{
    for (QPushButton* button : findChildren<QPushButton*>())
        fitToCaptions(button, {Mnemonics::Plain(button->text())});
    // Both file rows keep one width, whatever the mode; the key button fits both of its captions.
    QStringList fileCaptions;
    for (int number : {FileToAppend, CiphertextFile, OutputFile, FolderForAttachedFile})
        fileCaptions << ProgramText(number);
    for (QWidget* widget : std::initializer_list<QWidget*>{cmdSpecifyFile[0], cmdSpecifyFile[1], lblAppendedFile})
        fitToCaptions(widget, fileCaptions);
    fitToCaptions(cmdHideShowQuickKey, {ProgramText(HideKey), ProgramText(ShowKey)});
    fitToCaptions(cmdStop, {ProgramText(RunTexts::Stop)});
}

// In the order a keyboard user needs them: the commands first, the four Clear buttons last (they
// share one caption, so they take what letters are left of it). Each mode is marked on its own, from
// the captions it can show: English has too few letters for both modes' captions at once.
void frmMain::MarkCaptions()
{
    enum class Shows { Both, Encrypt, Decrypt };
    struct Captioned {
        const QWidget* control;
        int number;
        Shows mode = Shows::Both;
    };
    const Captioned captioned[] = {{cmdEncryptMessage, EncryptCommand},
                                   {cmdDecryptMessage, DecryptCommand},
                                   {optEncrypt, EncryptOption},
                                   {optDecrypt, DecryptOption},
                                   {cmdSpecifyFile[0], FileToAppend, Shows::Encrypt},
                                   {cmdSpecifyFile[0], CiphertextFile, Shows::Decrypt},
                                   {cmdSpecifyFile[1], OutputFile, Shows::Encrypt},
                                   {cmdSpecifyFile[1], FolderForAttachedFile, Shows::Decrypt},
                                   {cmdQuickKey, KeyCommand},
                                   {cmdQuit, Quit},
                                   {cmdHelp, Help},
                                   {cmdHideShowQuickKey, HideKey},
                                   {cmdHideShowQuickKey, ShowKey},
                                   {cmdLoadSaveTextbox[0], LoadFromFile},
                                   {cmdLoadSaveTextbox[1], SaveToFile},
                                   {cmdEnlargeTextbox, Enlarge},
                                   {cmdViewCiphertext, ViewCiphertext},
                                   {cmdCopyAsText, CopyAsText},
                                   {lblLanguage, LanguageLabel},
                                   {cmdClearTextbox, Clear},
                                   {cmdClearFile[0], Clear},
                                   {cmdClearFile[1], Clear},
                                   {cmdClearQuickKey, Clear},
                                   {cmdStop, RunTexts::Stop},
                                   // Added last, so the letters the others had stay theirs.
                                   {cmdSendByMail, SendByMail, Shows::Encrypt},
                                   {cmdSendAsText, SendAsText, Shows::Encrypt}};
    for (const WindowMode mode : {WindowMode::Encrypt, WindowMode::Decrypt}) {
        const Shows excluded = mode == WindowMode::Encrypt ? Shows::Decrypt : Shows::Encrypt;
        std::vector<const Captioned*> shown;
        QStringList captions;
        for (const Captioned& c : captioned) {
            if (c.mode == excluded)
                continue;
            shown.push_back(&c);
            captions << ProgramText(c.number);
        }
        const QStringList marked = Mnemonics::Mark(captions);
        QHash<QPair<const QWidget*, int>, QString>& into = MarkedCaptions[mode == WindowMode::Encrypt ? 0 : 1];
        into.clear();
        for (qsizetype i = 0; i < marked.size(); ++i)
            into.insert({shown[i]->control, shown[i]->number}, marked[i]);
    }
}

QString frmMain::Caption(const QWidget* control, int number) const
{
    return MarkedCaptions[State.mode == WindowMode::Encrypt ? 0 : 1].value({control, number}, ProgramText(number));
}

void frmMain::FillLanguageList()
{
    const QSignalBlocker quiet(cboLanguage);
    cboLanguage->clear();
    cboLanguage->addItem(ProgramText(MainWindowTexts::English), Language::English);
    cboLanguage->addItem(ProgramText(MainWindowTexts::German), Language::German);
    cboLanguage->setCurrentIndex(State.language);
}

// ---------------------------------------------------------------------------------------------
// Status

void frmMain::ShowTextboxSize()
{
    const qsizetype length = txbText->toPlainText().size();
    lblTextbox->setText(length == 1 ? ProgramText(TextboxHoldsOne)
                                    : WithCount(ProgramText(TextboxHoldsCount), length, State.language));
}

void frmMain::ShowClipboardSize()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        lblClipboard->setText(ProgramText(ReadWriteError));
        return;
    }
    const qsizetype length = clipboard->text().size();
    if (length == 0)
        lblClipboard->setText(ProgramText(ClipboardEmpty));
    else if (length == 1)
        lblClipboard->setText(ProgramText(ClipboardHoldsOne));
    else
        lblClipboard->setText(WithCount(ProgramText(ClipboardHoldsCount), length, State.language));
}

// Refreshes the size lines; what the controls show is the render's alone.
void frmMain::Clock_Timer()
{
    ShowTextboxSize();
    ShowClipboardSize();
}

// Below this the key field and the message box would shrink past reading; every control keeps
// room for its caption through the layout's own minimum.
void frmMain::FitMinimumSize()
{
    constexpr int KeyFieldCharacters = 36;
    constexpr int MessageLines = 4;
    // The moving bar only shows that work goes on; its width does not matter, the window's does.
    constexpr int WorkBarCharacters = 6;
    txbQuickKey->setMinimumWidth(txbQuickKey->fontMetrics().averageCharWidth() * KeyFieldCharacters);
    prgWork->setMinimumWidth(prgWork->fontMetrics().averageCharWidth() * WorkBarCharacters);
    txbText->setMinimumHeight(txbText->fontMetrics().lineSpacing() * MessageLines);
    // The captions just changed: each frame's layout measures them now (not when its queued layout
    // request comes), so the window's minimum is that of the new captions.
    for (QLayout* inner : findChildren<QLayout*>())
        inner->activate();
    layout()->invalidate();
    setMinimumSize(layout()->totalMinimumSize());
    // A shown window grows to it at once (longer captions of another language).
    if (width() < minimumWidth() || height() < minimumHeight())
        resize(size().expandedTo(minimumSize()));
}

void frmMain::SetTheFocus()
{
    if (!isVisible() || !isEnabled())
        return;
    ShowTextboxSize();
    ShowClipboardSize();
    if (cmdQuickKey->isEnabled() && QuickKey.isEmpty())
        cmdQuickKey->setFocus();
    else if (!EncryptMode() && cmdDecryptMessage->isEnabled())
        cmdDecryptMessage->setFocus();
    else if (cmdEncryptMessage->isEnabled())
        cmdEncryptMessage->setFocus();
}

void frmMain::ClearRM()
{
    RM[0] = -1.0;
    RM[1] = -1.0;
}

void frmMain::RetireCiphertextView()
{
    State.view = CiphertextView::None;
    Render();
}
