#pragma once
// What a front end lends a pipeline run while it works: the place where the run's slow steps (key
// derivation and engine, packer, shredding) are carried out, and the flag that asks the run to stop.
// Both may stay empty: the steps then run in place and nothing stops the run early (the command
// line, the tests). The pipeline's own order and every dialog stay where the pipeline was called.

#include "engines/StopFlag.h"

#include <functional>

class SlowStepRunner {
  public:
    virtual ~SlowStepRunner() = default;
    // Carries out step and returns when it is over. The window runs it on a worker thread and keeps
    // its event loop turning meanwhile; step touches no widget and no Dialogs.
    virtual void Run(const std::function<void()>& step) = 0;
};

struct RunControl {
    SlowStepRunner* slowSteps = nullptr;
    const StopFlag* stop = nullptr;
};
