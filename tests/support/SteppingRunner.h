#pragma once
// A runner for a pipeline's slow steps that carries them out in place, counts them, and asks the run
// to stop as the step numbered stopAt begins (1 the first; 0 never): a user pressing Quit at that
// moment.
#include "pipeline/RunControl.h"

class SteppingRunner : public SlowStepRunner {
  public:
    explicit SteppingRunner(int stopAt = 0) : stopAt_(stopAt) {}

    void Run(const std::function<void()>& step) override
    {
        if (++steps == stopAt_)
            flag.Request();
        step();
    }

    RunControl Control() { return {this, &flag}; }

    int steps = 0;
    StopFlag flag;

  private:
    int stopAt_;
};
