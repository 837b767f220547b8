// File fields of the main window.
#include "app/frmMain.h"

// Built with the file fields.
void frmMain::cmdSpecifyFile_Click(int) {}
// Built with the file fields.
void frmMain::cmdClearFile_Click(int) {}
// Built with the file fields.
void frmMain::txbFile_Click(int) {}
// Built with the file fields.
void frmMain::TooLargeErrMsg(const QString&, int) {}
// Built with the file fields.
QString frmMain::BrowseForFolder(const QString&)
{
    return {};
}
// Built with the file fields.
bool frmMain::txbFile_DragOver(int, QDragMoveEvent*)
{
    return false;
}
// Built with the file fields.
bool frmMain::txbFile_DragDrop(int, QDropEvent*)
{
    return false;
}
