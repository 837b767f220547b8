// File fields of the main window: choosing, dropping and clearing the paths of the two rows.
//   encrypt mode: row 0 the file to append, row 1 the ciphertext file to write
//   decrypt mode: row 0 the ciphertext file to read, row 1 the folder for an attached file
#include "gui/frmMain.h"
#include "pipeline/ChooseFileToAppend.h"
#include "pipeline/Dialogs.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

namespace {

constexpr int OutputFileCaption = 16;
constexpr int CiphertextFilter = 88;
constexpr int ChooseCiphertextTitle = 89;
constexpr int AllFilesFilter = 48;
constexpr int FolderPrompt = 394;

// Slot of FileFieldMemory that keeps row `index` of the mode shown.
int MemorySlot(bool encryptMode, int index)
{
    return index * 2 + (encryptMode ? 0 : 1);
}

// What a row holds in the mode shown.
enum class RowKind { FileToAppend, OutputFile, CiphertextFile, Folder };

RowKind KindOf(const frmMain& window, int index)
{
    if (window.EncryptMode)
        return index == 0 ? RowKind::FileToAppend : RowKind::OutputFile;
    return index == 0 ? RowKind::CiphertextFile : RowKind::Folder;
}

QStringList CiphertextNameFilters(const frmMain& window)
{
    QString ciphertext = window.ProgramText(CiphertextFilter);
    if (!ciphertext.contains(QLatin1String("*.zip")))
        ciphertext += QStringLiteral(" (*.zip)");
    return {ciphertext, window.ProgramText(AllFilesFilter) + QStringLiteral(" (*)")};
}

QString ChooseCiphertextFile(frmMain& window, FileDialogRequest::Kind kind, const QString& title)
{
    FileDialogRequest request;
    request.kind = kind;
    request.title = title;
    request.nameFilters = CiphertextNameFilters(window);
    request.mustExist = true;
    // The encrypt command asks before it replaces an existing file; one question is enough.
    request.confirmOverwrite = false;
    return window.dialogs.choosePath(request);
}

// The one local file or folder a drag carries, "" for anything else (text, several files, web links).
QString DraggedPath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// Whether the dragged path is of the kind row `index` takes: a folder for the folder row, an
// existing file for every other row.
bool FitsRow(const frmMain& window, int index, const QString& path)
{
    const QFileInfo info(path);
    return KindOf(window, index) == RowKind::Folder ? info.isDir() : info.isFile();
}

// The folder row has no clear button in decrypt mode.
void ShowPath(frmMain& window, int index, const QString& path)
{
    window.txbFile[index]->setText(path);
    window.cmdClearFile[index]->setVisible(KindOf(window, index) != RowKind::Folder);
}

void TakeFolder(frmMain& window, const QString& folder)
{
    window.ChosenFolder = folder;
    if (!folder.isEmpty())
        window.txbFile[1]->setText(folder);
}

} // namespace

void frmMain::cmdSpecifyFile_Click(int index)
{
    QString path;
    switch (KindOf(*this, index)) {
    case RowKind::FileToAppend:
        path = ChooseFileToAppend(dialogs, CurrentLanguage);
        break;
    case RowKind::OutputFile:
        path = ChooseCiphertextFile(*this, FileDialogRequest::Kind::Save, ProgramText(OutputFileCaption));
        break;
    case RowKind::CiphertextFile:
        path = ChooseCiphertextFile(*this, FileDialogRequest::Kind::Open, ProgramText(ChooseCiphertextTitle));
        break;
    case RowKind::Folder:
        TakeFolder(*this, BrowseForFolder(ProgramText(FolderPrompt)));
        break;
    }
    if (!path.isEmpty())
        ShowPath(*this, index, path);
    SetTheFocus();
}

void frmMain::cmdClearFile_Click(int index)
{
    txbFile[index]->clear();
    FileFieldMemory[MemorySlot(EncryptMode, index)].clear();
    cmdClearFile[index]->setVisible(false);
    SetTheFocus();
}

void frmMain::txbFile_Click(int index)
{
    if (txbFile[index]->text().isEmpty() && cmdSpecifyFile[index]->isEnabled())
        cmdSpecifyFile_Click(index);
}

void frmMain::TooLargeErrMsg(const QString& strMsg, int intI)
{
    ::TooLargeErrMsg(dialogs, strMsg, intI, CurrentLanguage);
}

QString frmMain::BrowseForFolder(const QString& prompt)
{
    return dialogs.chooseFolder(prompt);
}

bool frmMain::txbFile_DragOver(int index, QDragMoveEvent* event)
{
    const QString path = DraggedPath(event->mimeData());
    if (path.isEmpty())
        return false;
    if (FitsRow(*this, index, path))
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
    if (!FitsRow(*this, index, path)) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    // A dropped path goes through the same checks as one chosen in the dialog.
    const RowKind kind = KindOf(*this, index);
    if (kind == RowKind::Folder)
        TakeFolder(*this, path);
    else if (kind != RowKind::FileToAppend || AcceptFileToAppend(dialogs, path, CurrentLanguage))
        ShowPath(*this, index, path);
    SetTheFocus();
    return true;
}

void frmMain::OpenReceivedFile(const QString& path)
{
    optDecrypt->setChecked(true);
    ShowPath(*this, 0, QFileInfo(path).absoluteFilePath());
    SetTheFocus();
}

void frmMain::RemoveWorkingFolder()
{
    RunFolders.RemoveWorkingFolder();
}
