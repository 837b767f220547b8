// File fields of the main window: choosing, dropping and clearing the paths of the two rows.
//   encrypt mode: row 0 the file to append, row 1 the ciphertext file to write
//   decrypt mode: row 0 the ciphertext file to read, row 1 the folder for an attached file
#include "gui/frmMain.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/Dialogs.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

namespace {

using namespace MainWindowTexts;

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

// The extension of a ciphertext file, without its dot.
const QString CiphertextSuffix = QStringLiteral("zip");

QStringList CiphertextNameFilters(int language)
{
    QString ciphertext = Text(CiphertextFilter, language);
    if (!ciphertext.contains(QLatin1String("*.") + CiphertextSuffix))
        ciphertext += QStringLiteral(" (*.%1)").arg(CiphertextSuffix);
    return {ciphertext, Text(AllFilesFilter, language) + QStringLiteral(" (*)")};
}

QString ChooseCiphertextFile(Dialogs& dialogs, int language, FileDialogRequest::Kind kind, int titleNumber,
                             const QString& startPath)
{
    FileDialogRequest request;
    request.kind = kind;
    request.startPath = startPath;
    request.title = Text(titleNumber, language);
    request.nameFilters = CiphertextNameFilters(language);
    request.mustExist = true;
    // The encrypt command asks before it replaces an existing file; one question is enough.
    request.confirmOverwrite = false;
    // A ciphertext name typed without an extension becomes a ".zip" file, as the receiver expects.
    request.defaultSuffix = CiphertextSuffix;
    return dialogs.choosePath(request);
}

// The one local file or folder a drag carries, "" for anything else (text, several files, web links).
QString DraggedPath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

frmMain::RowKind frmMain::KindOfRow(int index) const
{
    if (EncryptMode())
        return index == 0 ? RowKind::FileToAppend : RowKind::OutputFile;
    return index == 0 ? RowKind::CiphertextFile : RowKind::Folder;
}

// Whether the dragged path is of the kind row `index` takes: a folder for the folder row, an
// existing file for every other row.
bool frmMain::FitsRow(int index, const QString& path) const
{
    const QFileInfo info(path);
    return KindOfRow(index) == RowKind::Folder ? info.isDir() : info.isFile();
}

void frmMain::ShowPath(int index, const QString& path)
{
    // The randomness report belongs to the files it was made with; another file makes it stale.
    State.view = CiphertextView::None;
    State.File(index) = path;
    Render();
}

void frmMain::TakeFolder(const QString& folder)
{
    if (folder.isEmpty())
        return;
    State.File(1) = folder;
    Render();
}

void frmMain::txbFile_Change(int index)
{
    if (State.File(index) == txbFile[index]->text())
        return;
    State.File(index) = txbFile[index]->text();
    Render();
}

void frmMain::cmdSpecifyFile_Click(int index)
{
    // A chooser opened by clicking the empty field gives the focus back there, else to the button.
    QWidget* opener = focusWidget() == txbFile[index] ? txbFile[index] : static_cast<QWidget*>(cmdSpecifyFile[index]);
    QString path;
    switch (KindOfRow(index)) {
    case RowKind::FileToAppend:
        path = ChooseFileToAppend(dialogs, State.language, StartPathFor(index));
        break;
    case RowKind::OutputFile:
        path = ChooseCiphertextFile(dialogs, State.language, FileDialogRequest::Kind::Save, OutputFile,
                                    StartPathFor(index));
        break;
    case RowKind::CiphertextFile:
        path = ChooseCiphertextFile(dialogs, State.language, FileDialogRequest::Kind::Open, ChooseCiphertextTitle,
                                    StartPathFor(index));
        break;
    case RowKind::Folder:
        path = BrowseForFolder(ProgramText(FolderPrompt));
        break;
    }
    // Cancelled: the user goes on where they were, not at the next step of the work.
    if (path.isEmpty()) {
        opener->setFocus(Qt::OtherFocusReason);
        return;
    }
    RememberFolder(path);
    if (KindOfRow(index) == RowKind::Folder)
        TakeFolder(path);
    else
        ShowPath(index, path);
    SetTheFocus();
}

void frmMain::cmdClearFile_Click(int index)
{
    State.File(index).clear();
    Render();
    SetTheFocus();
}

void frmMain::txbFile_Click(int index)
{
    if (txbFile[index]->text().isEmpty() && cmdSpecifyFile[index]->isEnabled())
        cmdSpecifyFile_Click(index);
}

QString frmMain::BrowseForFolder(const QString& prompt)
{
    const QString folder = dialogs.chooseFolder(prompt, StartPathFor(1));
    RememberFolder(folder);
    return folder;
}

QString frmMain::StartPathFor(int index) const
{
    const QString current = txbFile[index]->text();
    if (!current.isEmpty())
        return current;
    if (KindOfRow(index) != RowKind::OutputFile)
        return LastFolder;
    const QString folder = LastFolder.isEmpty() ? QDir::homePath() : LastFolder;
    return QDir(folder).filePath(ProgramText(SuggestedOutputName) + '.' + CiphertextSuffix);
}

void frmMain::RememberFolder(const QString& path)
{
    if (path.isEmpty())
        return;
    const QFileInfo chosen(path);
    LastFolder = chosen.isDir() ? chosen.absoluteFilePath() : chosen.absolutePath();
}

bool frmMain::txbFile_DragOver(int index, QDragMoveEvent* event)
{
    const QString path = DraggedPath(event->mimeData());
    if (path.isEmpty())
        return false;
    if (FitsRow(index, path))
        event->acceptProposedAction();
    else
        event->ignore();
    return true;
}

bool frmMain::txbFile_DragDrop(int index, QDropEvent* event)
{
    const QString path = DraggedPath(event->mimeData());
    if (path.isEmpty())
        return false;
    if (!FitsRow(index, path)) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    // A dropped path goes through the same checks as one chosen in the dialog.
    const RowKind kind = KindOfRow(index);
    if (kind == RowKind::Folder)
        TakeFolder(path);
    else if (kind != RowKind::FileToAppend || AcceptFileToAppend(dialogs, path, State.language))
        ShowPath(index, path);
    SetTheFocus();
    return true;
}

void frmMain::OpenReceivedFile(const QString& path)
{
    State.mode = WindowMode::Decrypt;
    ShowPath(0, QFileInfo(path).absoluteFilePath());
    // Said at once, not after the user has typed a key for a file that is not there or not ours.
    if (!RefuseCiphertextSource(State.File(0), std::nullopt))
        SetTheFocus();
}
