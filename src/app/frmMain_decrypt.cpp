// The decrypt command of the main window.
#include "app/frmMain.h"

void frmMain::cmdDecryptMessage_Click() {} // Built with the decrypt command.
