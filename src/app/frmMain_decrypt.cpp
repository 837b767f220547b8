// The decrypt command of the main window.
#include "app/frmMain.h"

// Built with the decrypt command.
void frmMain::cmdDecryptMessage_Click() {}
