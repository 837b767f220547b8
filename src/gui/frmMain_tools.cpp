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
#include "pipeline/Dialogs.h"
#include "texts/Language.h"
#include "texts/ProgramData.h"
#include "texts/WebTarget.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

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

void Warn(frmMain& window, const QString& text, const QString& title)
{
    window.dialogs.inform(text, title, DialogIcon::Exclamation);
}

// True when the file at path may go into the text box; otherwise the user has been told why.
bool AcceptTextFile(frmMain& window, const QString& path)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    const qint64 size = QFileInfo(path).size();
    if (size == 0) {
        Warn(window, shownPath + CrLf + window.ProgramText(50), window.ProgramText(51));
        return false;
    }
    if (size > FileLimits::MaxTextFileSize) {
        window.TooLargeErrMsg(
            shownPath + u' ' + window.ProgramText(49) + QStringLiteral(": ") + QLocale().toString(size), 0);
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
    Warn(window, shownPath + CrLf + window.ProgramText(refusal), window.cmdLoadSaveTextbox[0]->text());
    return false;
}

void LoadTextbox(frmMain& window)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = window.ProgramText(42);
    request.mustExist = true;
    const QString path = window.dialogs.choosePath(request);
    if (path.isEmpty() || udh3() == 0)
        return;

    window.cmdViewCiphertext->setEnabled(false);
    window.ViewCiphertextWasEnabled = false;
    if (!AcceptTextFile(window, path))
        return;
    // The box shows the decoded text, and that text is what gets encrypted.
    QString text;
    const QString error = ReadFileAsText(path, text);
    if (!error.isEmpty()) {
        // The message stays as it was: nothing the user typed is lost to a file that cannot be read.
        Warn(window, window.ProgramText(46) + QStringLiteral(": ") + error, window.cmdLoadSaveTextbox[0]->text());
        return;
    }
    window.txbText->setPlainText(text);
}

void SaveTextbox(frmMain& window)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = window.ProgramText(45);
    request.confirmOverwrite = true;
    const QString path = window.dialogs.choosePath(request);
    if (path.isEmpty())
        return;
    // UTF-8, so that loading the file again gives back the very same text.
    const QString error = FileProc::WriteStringToFile(window.txbText->toPlainText().toUtf8(), path);
    if (!error.isEmpty())
        Warn(window, QDir::toNativeSeparators(path) + CrLf + error, window.ProgramText(13));
}

bool TextboxIsEmpty(frmMain& window)
{
    if (!window.txbText->toPlainText().isEmpty())
        return false;
    Warn(window, window.ProgramText(44), QString());
    return true;
}

void ShowLocalHelp(frmMain& window)
{
    const QString path = DataFile(window.CurrentLanguage == Language::German ? QStringLiteral("zebg_help.txt")
                                                                             : QStringLiteral("zeb_help.txt"));
    if (!QFileInfo(path).isFile()) {
        // An empty viewer would leave the user guessing; say which file is missing instead.
        Warn(window, QDir::toNativeSeparators(path) + CrLf + window.ProgramText(397), window.ProgramText(28));
        return;
    }
    if (window.ViewWindow == nullptr)
        window.ViewWindow = new frmView(&window);
    frmView& viewer = *window.ViewWindow;
    const bool viewerWasOpen = viewer.isVisible();
    // Hidden first, so that showing it again reads the file of the current language afresh.
    viewer.hide();
    viewer.setWindowTitle(window.ProgramText(94) + u' ' + window.ProgramText(29));
    viewer.setLanguage(window.CurrentLanguage);
    viewer.setPath(path);
    // Beside the main window, so that the user reads the help while using the window; an open viewer
    // stays where the user put it.
    if (!viewerWasOpen)
        PlaceBeside(viewer, window);
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
}

// The quit procedure. True when the program may end; false when the user chose to keep it running.
bool PrepareToQuit(frmMain& window)
{
    window.WipeKey();
    window.RemoveWorkingFolder();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || clipboard->text().isEmpty())
        return true;
    const DialogAnswer answer = window.dialogs.ask(window.ProgramText(177), window.ProgramText(178),
                                                   DialogButtons::YesNoCancel, DialogIcon::Question);
    if (answer == DialogAnswer::Cancel) {
        window.ShowClipboardSize();
        return false;
    }
    if (answer == DialogAnswer::Yes)
        clipboard->clear();
    return true;
}

} // namespace

void frmMain::cmdLoadSaveTextbox_Click(int index)
{
    if (index == 0) {
        LoadTextbox(*this);
    } else {
        if (TextboxIsEmpty(*this))
            return;
        SaveTextbox(*this);
    }
    SetTheFocus();
}

void frmMain::cmdClearTextbox_Click()
{
    txbText->clear();
    ShowTextboxSize();
    cmdViewCiphertext->setEnabled(false);
    ViewCiphertextWasEnabled = false;
}

// The randomness view belongs to the text of the latest encryption only.
void frmMain::txbText_Change()
{
    cmdViewCiphertext->setEnabled(false);
    LastCiphertext.clear();
    ShowCopyAsText();
    // Typing offers Clear, Save and Enlarge at once instead of at the next clock tick.
    UpdateTextToolButtons();
}

void frmMain::lblClipboard_Click()
{
    ShowClipboardSize();
}

void frmMain::cmdEnlargeTextbox_Click()
{
    if (TextboxIsEmpty(*this))
        return;
    if (LargeTextboxWindow == nullptr)
        LargeTextboxWindow = new frmLargeTextbox(this);
    const bool readOnly = txbText->isReadOnly();
    LargeTextboxWindow->Form_Activate(txbText->toPlainText(), readOnly, CurrentLanguage, this, txbText);
    if (LargeTextboxWindow->exec() != QDialog::Accepted || readOnly)
        return;
    const QString edited = LargeTextboxWindow->text();
    if (edited != txbText->toPlainText())
        txbText->setPlainText(edited);
}

void frmMain::cmdHelp_Click()
{
    const QString helpPage = ResolveWebTarget(ProgramText(350), DataFolder());
    const QString question = ProgramText(347) + CrLf + ProgramText(348) + CrLf + helpPage + CrLf + ProgramText(349);
    if (dialogs.ask(question, ProgramText(28), DialogButtons::OkCancel) == DialogAnswer::Ok &&
        dialogs.openTarget(helpPage) == 0)
        return;
    // Cancel, or no browser to show the page: the same help as text, rather than a box about browsers.
    ShowLocalHelp(*this);
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
    OpenWebTarget(ResolveWebTarget(ProgramText(351), DataFolder()));
}

void frmMain::OpenWebTarget(const QString& target)
{
    const int errorCode = dialogs.openTarget(target);
    if (errorCode != 0)
        Warn(*this, WebTargetErrorText(errorCode, FileExtension(target, true)), WebTargetErrorTitle());
}

void frmMain::cmdQuit_Click()
{
    close();
}

// Closing by the frame and by cmdQuit end here alike; a Cancel to the clipboard question keeps the
// window open.
void frmMain::closeEvent(QCloseEvent* event)
{
    if (!PrepareToQuit(*this)) {
        event->ignore();
        return;
    }
    if (ViewWindow != nullptr)
        ViewWindow->close();
    event->accept();
}
