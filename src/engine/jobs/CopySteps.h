#pragma once
// The steps both jobs are made of, each noted in the job's report: refusing a job before
// it changes anything, putting right what an interrupted job left, the last checks
// before it changes anything, copying one stage of the job's plan, and undoing what was
// staged.

#include <functional>
#include <optional>
#include <string>

#include "engine/jobs/JobCopy.h"
#include "engine/jobs/JobEvents.h"
#include "engine/jobs/JobReport.h"
#include "engine/journal/JobJournal.h"
#include "engine/staging/ChangePlan.h"
#include "files/FileOps.h"

// A job refused before it changed anything still passes its stages, so that whoever
// follows them reaches the end: notes the stage, raises FoldersCopied and Finished,
// returns the report.
JobReport Refuse(JobEvents& events, JobReport report, JobStage stage, const FileResult& result);

// Refuses a job over what it found in a folder it does not own (Untrusted).
JobReport RefuseInput(JobEvents& events, JobReport report, const RefusedInput& refused);

// Refuses a job over a folder an earlier job left that could not be removed (left): a
// link in it is named as one (Untrusted), anything else as the folder left (LeftOver).
JobReport RefuseLeftOver(JobEvents& events, JobReport report, const FileResult& left);

// Puts right, before a job changes anything, what an interrupted job left: from the
// journal, then what the set folder itself shows (an interrupted backup into it). Notes
// in the report what was found and done; a failure (with keptAt noted, and refused where
// something there was not acted on) means the job must not start. A journal may name
// the job's game folder or any other the program looks for the game in.
FileResult PutRightFirst(const std::wstring& journal, const std::wstring& gameFolder, const std::wstring& setFolder,
                         JobReport& report);

// Makes each of saves, maps and scores that root lacks, empty: a job copies every one,
// so a tree without one of them gives the other side an empty one, as the shell's folder
// copy always did. Raises an AppError when one cannot be made.
void MakeMissingDataFolders(const std::wstring& root);

// Notes that what the job had changed could not all be put back (result), and where
// the earlier data now lies.
void NoteRollbackFailed(JobReport& report, const std::wstring& keptAt, const FileResult& result);

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

// The last checks before a job changes anything: its listing (of folder) went well,
// there is room for the plan, and the journal is written with the entry. Returns the
// job's final report when one fails: a listing that failed counts as rolled back (it
// is the job's first look at the trees, so nothing has been changed), the others refuse
// the job.
std::optional<JobReport> StopBeforeChanges(JobEvents& events, const FileResult& listing, const std::wstring& folder,
                                           const ChangePlan& plan, JobJournal& journal, const JournalEntry& entry,
                                           JobReport& report);
// The same in two halves, for a job with checks of its own between them: what reading
// found (the listing, the room), then the journal.
std::optional<JobReport> StopOnReading(JobEvents& events, const FileResult& listing, const std::wstring& folder,
                                       const ChangePlan& plan, JobReport& report);
std::optional<JobReport> StopUnlessJournalWritten(JobEvents& events, JobJournal& journal, const JournalEntry& entry,
                                                  JobReport& report);

// Undoes a job whose changes are still all staged: removeStaging runs (on the worker),
// the journal goes, and the job counts as rolled back.
void UndoStaging(JobCopy& copy, JobJournal& journal, const std::function<void()>& removeStaging,
                 JobReport& report);
