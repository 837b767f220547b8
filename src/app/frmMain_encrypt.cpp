// The encrypt command of the main window.
#include "app/frmMain.h"

void frmMain::cmdEncryptMessage_Click() {} // Built with the encrypt command.
void frmMain::cmdViewCiphertext_Click() {} // Built with the encrypt command.
void frmMain::SetControlsEnabled(bool, bool, bool, bool) {} // Built with the encrypt command.
