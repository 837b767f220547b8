// The main window while a command's pipeline works: the slow steps run on a worker thread while the
// click handler waits in a local event loop, so the window repaints and resizes, the busy indicator
// moves, and Quit (or Escape, or closing the window) stops the run and then quits. Everything else a
// user could start meanwhile is held back, so nothing runs beside the pipeline.
#include "gui/frmMain.h"

#include "gui/WorkInputGuard.h"

#include <QProgressBar>
#include <QPushButton>

RunControl frmMain::BeginWork()
{
    RunStop.Reset();
    QuitAfterWork = false;
    CommandWorking = true;
    // Escape goes the way of the Quit button: the run stops and the window quits.
    if (WorkGuard == nullptr)
        WorkGuard = new WorkInputGuard(*this, *cmdQuit, [this] { cmdQuit_Click(); });
    WorkGuard->Engage();
    return {&SlowSteps, &RunStop};
}

bool frmMain::EndWork()
{
    WorkGuard->Release();
    CommandWorking = false;
    prgWork->hide();
    const bool quit = QuitAfterWork;
    QuitAfterWork = false;
    return quit;
}

void frmMain::StopWork()
{
    if (!CommandWorking)
        return;
    RunStop.Request();
    QuitAfterWork = true;
}
