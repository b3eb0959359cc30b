#pragma once
// Job events for a caller with no window to move on and nobody to cancel: the job runs
// straight through (the command line, the test jobs, the benchmarks).

#include "engine/jobs/JobEvents.h"

class QuietJobEvents : public JobEvents {
public:
    void Checkpoint() override {}
    void YieldPoint() override {}
    void Progress(const JobProgress&) override {}
    void FoldersCopied(const JobReport&) override {}
    void Finished(const JobReport&) override {}
};
