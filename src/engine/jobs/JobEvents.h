#pragma once
// The points where a running job lets its caller act: a window that shows the job's
// progress moves on to its next panel there, and lets pending window messages run.
// The job calls them in a fixed order, always on the thread that called Run, and carries
// on when they return. To stop a job (the user cancelled), the caller throws from any of
// them but Finished and a Progress that is not stoppable: the job then undoes what it
// changed and lets the exception pass.

#include <cstdint>
#include <string>

#include "engine/jobs/JobReport.h"

// What a job is busy with while it reports progress.
enum class JobActivity {
    Counting,   // listing what it will copy; the totals grow
    Copying,    // copying; the totals are known
    Flushing,   // making the copies durable before the job relies on them
    Placing,    // swapping the copies into place; past this point the job is finished, not undone
    Finishing,  // the job stands whole; letting go of what it replaced
    Undoing,    // putting the earlier data back after a failure or a stop
};

struct JobProgress {
    JobActivity activity = JobActivity::Copying;
    std::uint64_t filesDone = 0;
    std::uint64_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::wstring currentFile;  // the source of the file being copied, "" when none
    std::wstring currentName;  // its name in the game's data ("maps\\forest.map"), "" when none
    // False once the job can no longer be stopped (it stands whole, or it is undoing):
    // the caller must not throw then.
    bool stoppable = true;
};

class JobEvents {
public:
    // The job may be stopped here; nothing else happens.
    virtual void Checkpoint() = 0;
    // Pending window messages may run (a click on Cancel among them).
    virtual void YieldPoint() = 0;
    // How far the job got: at the start and end of each long step and about ten times a
    // second while one runs (the work itself runs on another thread meanwhile).
    virtual void Progress(const JobProgress& progress) = 0;
    // The three folders have been copied; soFar says how that went.
    virtual void FoldersCopied(const JobReport& soFar) = 0;
    // Everything is done, or undone; the report is final.
    virtual void Finished(const JobReport& report) = 0;

protected:
    ~JobEvents() = default;
};
