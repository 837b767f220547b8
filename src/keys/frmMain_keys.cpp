// Key controls of the main window.
#include "app/frmMain.h"

#include <QLineEdit>

// Built with the key controls.
void frmMain::cmdQuickKey_Click() {}
// Built with the key controls.
void frmMain::txbQuickKey_Click() {}
// Built with the key controls.
void frmMain::cmdHideShowQuickKey_Click() {}
// Built with the key controls.
void frmMain::cmdClearQuickKey_Click()
{
    QuickKey.clear();
    txbQuickKey->clear();
}
// Built with the key controls.
void frmMain::UpdateQuickKeyControls() {}
// Built with the key controls.
void frmMain::NoKeyMessage() {}
// Built with the key controls.
bool frmMain::AskToShowHiddenKey()
{
    return false;
}
