// The main window while a command's pipeline works: the slow steps run on a worker thread while the
// click handler waits in a local event loop, so the window repaints and resizes, the busy line and
// the moving bar show, Stop (or Escape) stops the run and keeps the window, and Quit (or closing the
// window) stops it and then quits. Everything else a user could start meanwhile is held back, so
// nothing runs beside the pipeline.
#include "gui/frmMain.h"

#include "gui/WorkInputGuard.h"

#include <QPushButton>

RunControl frmMain::BeginWork(WindowMode command)
{
    RunStop.Reset();
    QuitAfterWork = false;
    State.stage = RunStage::Running;
    State.runningCommand = command;
    if (WorkGuard == nullptr)
        WorkGuard = new WorkInputGuard(*this, {cmdQuit, cmdStop}, [this] { cmdStop_Click(); });
    WorkGuard->Engage();
    Render();
    cmdStop->setFocus();
    // Painted now, before the pipeline's first question or slow step.
    repaint();
    return {&SlowSteps, &RunStop};
}

bool frmMain::EndWork()
{
    WorkGuard->Release();
    State.stage = RunStage::Idle;
    const bool quit = QuitAfterWork;
    QuitAfterWork = false;
    return quit;
}

void frmMain::StopWork()
{
    if (!Working())
        return;
    QuitAfterWork = true;
    cmdStop_Click();
}
