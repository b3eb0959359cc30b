#pragma once
// The steps both jobs are made of, each noted in the job's report: refusing a job before
// it changes anything, putting right what an interrupted job left, checking the room,
// copying one stage of the job's plan, and undoing what was staged.

#include <functional>
#include <string>

#include "engine/ChangePlan.h"
#include "engine/JobCopy.h"
#include "engine/JobEvents.h"
#include "engine/JobJournal.h"
#include "engine/JobReport.h"
#include "files/FileOps.h"

// A job refused before it changed anything still passes its stages, so that whoever
// follows them reaches the end: notes the stage, raises FoldersCopied and Finished,
// returns the report.
JobReport Refuse(JobEvents& events, JobReport report, JobStage stage, const FileResult& result);

// Puts right, before a job changes anything, what an interrupted job left: from the
// journal, then what the set folder itself shows (an interrupted backup into it). Notes
// in the report what was found and done; a failure (with keptAt noted) means the job
// must not start.
FileResult PutRightFirst(const std::wstring& journal, const std::wstring& setFolder, JobReport& report);

// Whether each volume the plan writes to has room for what it writes there; a failure
// (with the volume and the amounts noted) when one has not.
FileResult CheckRoom(const ChangePlan& plan, JobReport& report);

// Notes that the job failed at stage with that result.
void NoteFailure(JobReport& report, JobStage stage, const FileResult& result);

// Copies the plan's items up to end: what the job listed of the folder. A failure is
// noted as that folder's (Folders), with the first file that did not arrive.
bool CopyFolderStage(JobCopy& copy, std::size_t end, const std::wstring& folder, JobReport& report);

// Copies the configuration file planned up to end. A source that is gone is Missing;
// any other failure is Failed, and the job failed at Config.
void CopyConfigStage(JobCopy& copy, std::size_t end, JobReport& report);

// Copies the rest of the plan (Folders on a failure), then makes every copy durable
// (Flush on a failure).
bool CopyRestAndFlush(JobCopy& copy, std::size_t end, JobReport& report);

// True when the plan's listing failed: noted as the stage's failure (the listing is
// the job's first look at the trees, so nothing has been changed).
bool ListingFailed(const FileResult& listing, JobStage stage, const std::wstring& folder, JobReport& report);

// Undoes a job whose changes are still all staged: removeStaging runs (on the worker),
// the journal goes, and the job counts as rolled back.
void UndoStaging(JobCopy& copy, JobJournal& journal, const std::function<void()>& removeStaging,
                 JobReport& report);
