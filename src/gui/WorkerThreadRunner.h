#pragma once
// Carries out a pipeline's slow steps on a worker thread while the calling click handler waits in a
// local event loop: the window keeps repainting, resizing and answering its Quit button, and the
// pipeline still runs to its end inside that handler, in its own order, with its dialogs on the
// main thread.
#include "pipeline/RunControl.h"

class WorkerThreadRunner : public SlowStepRunner {
  public:
    void Run(const std::function<void()>& step) override;
};
