#pragma once
// The steps both jobs are made of: copying one folder of game data or the
// configuration file from one tree into another, and undoing a job that failed, each
// noted in the job's report.

#include <initializer_list>
#include <string>

#include "engine/JobEvents.h"
#include "engine/JobReport.h"
#include "engine/SetAside.h"

// Copies the folder source, under its own name, into the folder destination (see
// CopyFolder) and notes in the report whether the copy is whole.
void CopyFolderInto(const std::wstring& source, const std::wstring& destination, JobReport& report);

// Copies every file of the folder overlay over the same places in target (replacing
// what is there) and notes in the report whether all of them arrived.
void OverlayFolderInto(const std::wstring& overlay, const std::wstring& target, JobReport& report);

// Copies the configuration file and notes the outcome: Missing when there is no
// source; Failed (and the job failed at Config) when it is there but cannot be copied.
void CopyConfigFile(const std::wstring& source, const std::wstring& destination, JobReport& report);

// A job refused before it changed anything still passes its stages, so that whoever
// follows them reaches the end: raises FoldersCopied and Finished, returns the report.
JobReport EndUnstarted(JobEvents& events, const JobReport& report);

// Notes that the job failed at stage with that result.
void NoteFailure(JobReport& report, JobStage stage, const FileResult& result);

// Puts the earlier data back after a failure, each set-aside in the order given, and
// notes how that went: where the data stayed that could not go back (keptAt), or, once
// all is back, the holding folders go.
void RollBack(std::initializer_list<SetAside*> asides, JobReport& report);
