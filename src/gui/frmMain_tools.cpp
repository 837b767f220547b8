// Text-box tools, help, web links and quitting of the main window.
#include "engines/toolkit.h"
#include "files/FileLimits.h"
#include "files/FileProc.h"
#include "files/IsTextFileFns.h"
#include "files/PathText.h"
#include "files/TextFileReader.h"
#include "gui/PlaceBeside.h"
#include "gui/frmLargeTextbox.h"
#include "gui/frmMain.h"
#include "gui/frmView.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/Dialogs.h"
#include "texts/Language.h"
#include "texts/NumberLocale.h"
#include "texts/ProgramData.h"
#include "texts/WebTarget.h"
#include "texts/WindowTexts.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace {

using namespace MainWindowTexts;

const QString CrLf = QStringLiteral("\r\n");

// The load command's text-file test: how much of the file is examined, and the tolerated share of
// unexpected control characters in percent.
constexpr qint32 TextTestBytes = 16384;
constexpr double TextTestToleratedPercent = 1.0;

QString DataFile(const QString& name)
{
    return ProgramData::FilePath(QCoreApplication::applicationDirPath(), name);
}

QString DataFolder()
{
    return QFileInfo(DataFile(QStringLiteral("zeb.dat"))).absolutePath();
}

} // namespace

void frmMain::Warn(const QString& text, const QString& title)
{
    dialogs.inform(text, title, DialogIcon::Exclamation);
}

// True when the file at path may go into the text box; otherwise the user has been told why.
bool frmMain::AcceptTextFile(const QString& path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const qint64 size = QFileInfo(path).size();
    if (size == 0) {
        Warn(shownPath + CrLf + ProgramText(FileEmpty), ProgramText(NothingTaken));
        return false;
    }
    if (size > FileLimits::MaxTextFileSize) {
        ::TooLargeErrMsg(dialogs,
                         shownPath + u' ' + ProgramText(TooLarge) + QStringLiteral(": ") +
                             NumberLocale(State.language).toString(size),
                         TooLargeLimit::Textbox, State.language);
        return false;
    }
    uchar firstBad = 0;
    qint32 firstBadPosition = 0;
    double percentFound = 0.0;
    bool isUtf8 = false;
    const qint16 code = IsTextFile(path, TextTestBytes, firstBad, firstBadPosition, TextTestToleratedPercent,
                                   percentFound, isUtf8, true);
    const int refusal = TextFileMessageNumber(code);
    if (refusal == 0)
        return true;
    Warn(shownPath + CrLf + ProgramText(refusal), ProgramText(LoadFromFile));
    return false;
}

void frmMain::LoadTextbox()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = ProgramText(LoadTitle);
    request.mustExist = true;
    request.startPath = LastFolder;
    const QString path = dialogs.choosePath(request);
    if (path.isEmpty() || udh3() == toolkit_result::kLoadRefused)
        return;
    RememberFolder(path);

    RetireCiphertextView();
    if (!AcceptTextFile(path))
        return;
    // The box shows the decoded text, and that text is what gets encrypted.
    QString text;
    const QString error = ReadFileAsText(path, text);
    if (!error.isEmpty()) {
        // The message stays as it was: nothing the user typed is lost to a file that cannot be read.
        Warn(ProgramText(FileReadError) + QStringLiteral(": ") + error, ProgramText(LoadFromFile));
        return;
    }
    txbText->setPlainText(text);
}

void frmMain::SaveTextbox()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = ProgramText(SaveTitle);
    request.confirmOverwrite = true;
    request.startPath = LastFolder;
    const QString path = dialogs.choosePath(request);
    if (path.isEmpty())
        return;
    RememberFolder(path);
    // UTF-8, so that loading the file again gives back the very same text. The text box often holds
    // a decrypted message: a new file is the user's alone.
    const QString error = FileProc::WriteStringToFile(txbText->toPlainText().toUtf8(), path, {},
                                                      FileProc::NewFileAccess::OwnerOnly, State.language);
    if (!error.isEmpty())
        Warn(QDir::toNativeSeparators(path) + CrLf + error, ProgramText(ReadWriteError));
}

bool frmMain::TextboxIsEmpty()
{
    if (!txbText->toPlainText().isEmpty())
        return false;
    Warn(ProgramText(TextboxEmpty), QString());
    return true;
}

void frmMain::ShowLocalHelp()
{
    const QString path =
        DataFile(State.language == Language::German ? QStringLiteral("zebg_help.txt") : QStringLiteral("zeb_help.txt"));
    if (!QFileInfo(path).isFile()) {
        // An empty viewer would leave the user guessing; say which file is missing instead.
        Warn(QDir::toNativeSeparators(path) + CrLf + ProgramText(HelpFileMissing), ProgramText(Help));
        return;
    }
    if (ViewWindow == nullptr)
        ViewWindow = new frmView(this);
    frmView& viewer = *ViewWindow;
    const bool viewerWasOpen = viewer.isVisible();
    // Hidden first, so that showing it again reads the file of the current language afresh.
    viewer.hide();
    viewer.setWindowTitle(ProgramText(ProgramName) + u' ' + ProgramText(HelpTextVersion));
    viewer.setLanguage(State.language);
    viewer.setPath(path);
    viewer.setFlowParagraphs(true);
    // Beside the main window, so that the user reads the help while using the window; an open viewer
    // stays where the user put it.
    if (!viewerWasOpen)
        PlaceBeside(viewer, *this);
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
}

// The clipboard question comes first: a Cancel keeps the window as it was, key included.
bool frmMain::PrepareToQuit()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard != nullptr && !clipboard->text().isEmpty()) {
        const DialogAnswer answer =
            dialogs.ask(QuestionId::ClearClipboardOnQuit, ProgramText(ClearClipboardQuestion),
                        ProgramText(ClearClipboardTitle), DialogButtons::YesNoCancel, DialogIcon::Question);
        if (answer == DialogAnswer::Cancel) {
            ShowClipboardSize();
            return false;
        }
        if (answer == DialogAnswer::Yes)
            clipboard->clear();
    }
    WipeKey();
    RunFolders.RemoveWorkingFolder();
    return true;
}

void frmMain::cmdLoadSaveTextbox_Click(int index)
{
    if (index == 0) {
        LoadTextbox();
    } else {
        if (TextboxIsEmpty())
            return;
        SaveTextbox();
    }
    SetTheFocus();
}

void frmMain::cmdClearTextbox_Click()
{
    txbText->clear();
    ShowTextboxSize();
}

// The randomness view and Copy as text belong to the text of the latest encryption only; typing
// offers Clear, Save and Enlarge at once.
void frmMain::txbText_Change()
{
    LastCiphertext.clear();
    State.ciphertextHeld = false;
    State.view = CiphertextView::None;
    State.textEmpty = txbText->document()->isEmpty();
    Render();
}

void frmMain::lblClipboard_Click()
{
    ShowClipboardSize();
}

void frmMain::cmdEnlargeTextbox_Click()
{
    if (TextboxIsEmpty())
        return;
    if (LargeTextboxWindow == nullptr)
        LargeTextboxWindow = new frmLargeTextbox(this);
    const bool readOnly = txbText->isReadOnly();
    LargeTextboxWindow->Form_Activate(txbText->toPlainText(), readOnly, State.language, this, txbText);
    if (LargeTextboxWindow->exec() != QDialog::Accepted || readOnly)
        return;
    const QString edited = LargeTextboxWindow->text();
    if (edited != txbText->toPlainText())
        txbText->setPlainText(edited);
}

void frmMain::cmdHelp_Click()
{
    const QString helpPage = ResolveWebTarget(ProgramText(HelpPage), DataFolder());
    // Each button says what it opens; Close (and Escape) opens nothing.
    MessageRequest request{ProgramText(HelpQuestion) + CrLf + CrLf + helpPage,
                           ProgramText(Help),
                           DialogIcon::Question,
                           DialogButtons::YesNoCancel,
                           0,
                           QuestionId::OpenHelpPage};
    request.captions = {ProgramText(HelpOpenPageButton), ProgramText(HelpShowTextButton), ProgramText(HelpCloseButton)};
    const DialogAnswer answer = dialogs.message(request);
    if (answer == DialogAnswer::Cancel)
        return;
    if (answer == DialogAnswer::Yes && dialogs.openTarget(helpPage) == 0)
        return;
    // The text help, or no browser to show the page: the same help as text, rather than a box about browsers.
    ShowLocalHelp();
}

void frmMain::cmdHelp_KeyUp(int key)
{
    if (key == Qt::Key_F1)
        cmdHelp_Click();
}

void frmMain::Form_KeyUp(int key)
{
    if (key == Qt::Key_F1)
        cmdHelp_Click();
}

void frmMain::lblTavolan_Click()
{
    OpenWebTarget(ResolveWebTarget(ProgramText(MakersPage), DataFolder()));
}

void frmMain::OpenWebTarget(const QString& target)
{
    const int errorCode = dialogs.openTarget(target);
    if (errorCode != 0)
        Warn(WebTargetErrorText(errorCode, FileExtension(target, true)), WebTargetErrorTitle());
}

void frmMain::cmdQuit_Click()
{
    close();
}

void frmMain::cmdStop_Click()
{
    if (State.stage != RunStage::Running)
        return;
    RunStop.Request();
    State.stage = RunStage::Stopping;
    Render();
}

// Closing by the frame and by cmdQuit end here alike; a Cancel to the clipboard question keeps the
// window open.
void frmMain::closeEvent(QCloseEvent* event)
{
    // A command at work is stopped first; it closes the window again once its pipeline has returned.
    if (Working()) {
        StopWork();
        event->ignore();
        return;
    }
    if (!PrepareToQuit()) {
        event->ignore();
        return;
    }
    if (ViewWindow != nullptr)
        ViewWindow->close();
    event->accept();
}
