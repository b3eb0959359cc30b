#pragma once
// A backup: the game data of gameFolder copied into setFolder, merging with a set the
// folder holds already, with the set's manifest (SetManifest) and its marker file. Only
// what differs from the set is copied: a file of the same size and last-write time that
// the set's manifest lists is left as it stands. The new and changed files are copied
// into a staging folder in the set folder first and swapped into place at the end (see
// BackupStaging.h): the earlier set stays whole until the new one is, and either the new
// set stands complete with its manifest and marker, or the earlier set and its marker are
// exactly as they were. The job's journal (JobJournal) lets the next start of the program
// put right a backup that was killed.
//
// A backup into a new dated set may name the newest earlier set (linkFrom): each file of
// the game's data that is the same as that set's (the quick check, and that set's manifest
// has its digest) becomes a hard link to that set's file, made in the staging folder like
// any copy, its digest carried over. The new set is whole by itself; the two sets share
// the file, which no job ever writes into in place.

#include <string>

#include "engine/jobs/JobEvents.h"
#include "engine/journal/JobJournal.h"

class JobCopy;

class BackupJob {
public:
    // perUserCopy: Windows' per-user copy of the game folder (see PerUserCopy.h), whose
    // files the game reads before its own; "" when there is none. journal: where the job
    // keeps its journal.
    // madeSetFolder: the set folder was made for this backup (a dated set), so that the
    // start after a kill removes it again, if it is empty then.
    BackupJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy = L"",
              std::wstring journal = JobJournal::DefaultPath(), std::wstring linkFrom = L"", bool madeSetFolder = false);

    // Puts right what an interrupted job left, compares the game data with the set,
    // checks the room, copies what differs of the three folders, raises FoldersCopied,
    // copies the configuration file, makes the copies durable, writes the manifest and the
    // marker beside them, swaps all into place, raises Finished. A game folder that
    // cannot be made raises AppError.
    JobReport Run(JobEvents& events);

private:
    struct Plan;
    void ListChanges(JobCopy& copy, Plan& plan, JobReport& report) const;
    void CopyChanges(JobCopy& copy, const Plan& plan, JobEvents& events, JobReport& report) const;
    FileResult StageManifestAndMarker(JobCopy& copy, Plan& plan) const;
    void SwapIn(JobCopy& copy, JobJournal& journal, JournalEntry& entry, JobReport& report) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
    std::wstring perUserCopy_;
    std::wstring journal_;
    std::wstring linkFrom_;
    bool madeSetFolder_;
};
