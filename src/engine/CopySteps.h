#pragma once
// The steps both jobs are made of, each noted in the job's report: refusing a job before
// it changes anything, copying one stage of the job's plan, and what a failure notes.

#include <string>

#include "engine/JobCopy.h"
#include "engine/JobEvents.h"
#include "engine/JobReport.h"
#include "files/FileOps.h"

// A job refused before it changed anything still passes its stages, so that whoever
// follows them reaches the end: notes the stage, raises FoldersCopied and Finished,
// returns the report.
JobReport Refuse(JobEvents& events, JobReport report, JobStage stage, const FileResult& result);

// Puts right, before a job changes anything, what an interrupted job left: from the
// journal, then what the set folder itself shows (see EarlierSet.h). Notes in the report
// what was found and done; a failure (with keptAt noted) means the job must not start.
FileResult PutRightFirst(const std::wstring& journal, const std::wstring& setFolder, JobReport& report);

// Notes that the job failed at stage with that result.
void NoteFailure(JobReport& report, JobStage stage, const FileResult& result);

// Copies the plan's items up to end: the folder the caller listed as one stage. A
// failure is noted as that folder's (Folders), with the first file that did not arrive.
bool CopyFolderStage(JobCopy& copy, std::size_t end, JobReport& report);

// Copies the configuration file planned up to end. A source that is gone is Missing;
// any other failure is Failed, and the job failed at Config.
void CopyConfigStage(JobCopy& copy, std::size_t end, JobReport& report);

// Copies the earlier data brought back up to end (BringBack on a failure), then makes
// every copy durable (Flush on a failure).
bool CopyRestAndFlush(JobCopy& copy, std::size_t end, JobReport& report);

// True when the plan's listing failed: noted as the stage's failure (the listing is
// the job's first look at the trees, so nothing has been copied yet).
bool ListingFailed(const FileResult& listing, JobStage stage, const std::wstring& folder, JobReport& report);
