// Text-box tools, help, web links and quitting of the main window.
#include "app/frmMain.h"

#include <QCloseEvent>

// Built with the text-box tools.
void frmMain::cmdLoadSaveTextbox_Click(int) {}
// Built with the text-box tools.
void frmMain::cmdClearTextbox_Click() {}
// Built with the text-box tools.
void frmMain::txbText_Change() {}
// Built with the text-box tools.
void frmMain::lblClipboard_Click() {}
// Built with the text-box tools.
void frmMain::cmdEnlargeTextbox_Click() {}
// Built with help.
void frmMain::cmdHelp_Click() {}
// Built with help.
void frmMain::cmdHelp_KeyUp(int) {}
// Built with help.
void frmMain::Form_KeyUp(int) {}
// Built with the web links.
void frmMain::lblTavolan_Click() {}
// Built with the web links.
void frmMain::OpenWebTarget(const QString&) {}
// Built with quitting.
void frmMain::cmdQuit_Click()
{
    close();
}
// Built with quitting.
void frmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
}
