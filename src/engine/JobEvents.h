#pragma once
// The points where a running job lets its caller act: a window that shows the job's
// progress moves on to its next panel there, and lets pending window messages run.
// The job calls them in a fixed order and carries on when they return. To stop a job
// (the user cancelled), the caller throws from any of them but Finished: the job then
// undoes what it changed and lets the exception pass.

#include "engine/JobReport.h"

class JobEvents {
public:
    // The job may be stopped here; nothing else happens.
    virtual void Checkpoint() = 0;
    // Pending window messages may run (a click on Cancel among them).
    virtual void YieldPoint() = 0;
    // The three folders have been copied; soFar says how that went.
    virtual void FoldersCopied(const JobReport& soFar) = 0;
    // Everything is done, or undone; the report is final.
    virtual void Finished(const JobReport& report) = 0;

protected:
    ~JobEvents() = default;
};
