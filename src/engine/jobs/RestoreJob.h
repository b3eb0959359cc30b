#pragma once
// A restore: the game data of the backup set in setFolder copied back into gameFolder,
// merging with what the game folder holds. Only what differs is copied: a game file of
// the same size and last-write time as the set's stays as it is. Each file copied is
// checked against the set's manifest (SetManifest) in the same pass, where the set has
// one: a damaged set is not restored. The new and changed files are copied into a
// staging folder beside the game folder first and swapped into place at the end; what
// they replace moves into a safety set (see SafetySets) with its own marker, which also
// lists the files the restore added. Restoring that safety set gives back exactly the
// data from before: the replaced files return, the added ones go. A restore that fails
// leaves the game's data as it was, and the job's journal (JobJournal) lets the next
// start of the program put right a restore that was killed.
//
// The set comes from outside (a stick, a shared drive, another player) and is only read,
// never written. Its manifest and its list of added files are refused whole for one line
// this program would not have written, and a link anywhere in its data refuses the
// restore, before anything is changed.
//
// Where Windows keeps a per-user copy of the game folder (see PerUserCopy.h), the game
// reads that copy first: each restored file goes where the game will read it, into the
// per-user copy where that copy holds the file or the folder the file is in, else into
// the game folder; what it replaces there goes into the safety set's layer for the
// per-user copy. A set with such a layer (a safety set) gives each layer back to its own
// tree.

#include <optional>
#include <string>
#include <vector>

#include "engine/input/RefusedInput.h"
#include "engine/jobs/JobEvents.h"
#include "engine/jobs/RestoreChange.h"
#include "engine/jobs/RestoreChoice.h"
#include "engine/journal/JobJournal.h"
#include "engine/staging/StagedSwap.h"

class ChangePlan;
class JobCopy;
class JobLock;

// What a restore would do, found by the same checks and walk as the restore itself.
struct RestorePreview {
    JobReport report;  // NotStarted with the restore's reason where it would be refused
    std::vector<RestoreChange> changes;
};

class RestoreJob {
public:
    RestoreJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy = L"",
               std::wstring journal = JobJournal::DefaultPath());

    // Puts right what an interrupted job left, compares the set with the game's data,
    // checks the room, copies what differs of saves and maps, yields three times, of
    // scores, yields three times, raises FoldersCopied, copies the configuration file when
    // the set has one, makes the copies durable and checks them against the manifest,
    // keeps what they replace as a safety set while swapping them in, raises Finished. A
    // source folder that cannot be made raises AppError.
    JobReport Run(JobEvents& events);

    // Only what choice names is restored: everything else of the game's stays as it is,
    // and the safety set keeps only what this restore replaced.
    void Choose(RestoreChoice choice) { choice_ = std::move(choice); }

    // What Run would change, and nothing changed: no journal, staging folder, safety set
    // or probe file, no folder's entries or times. What an interrupted job left is not
    // put right first; the rights are not probed.
    RestorePreview Preview(JobEvents& events);

    // What the job found to do, filled by its walk over the set and the game's data.
    struct Plan;

private:
    // The checks that only read, the lists, the walk and the room: a report to return when
    // the restore is refused.
    std::optional<JobReport> Look(JobEvents& events, JobCopy& copy, Plan& plan, JobReport& report) const;
    // Another job under way, or a set inside the data it would replace.
    std::optional<JobReport> RefuseAtOnce(JobEvents& events, const JobLock& lock, JobReport& report) const;
    std::optional<JobReport> RefuseUnheldChoice(JobEvents& events, const Plan& plan, JobReport& report) const;
    std::optional<RefusedInput> ReadLists(Plan& plan, FileResult& unreadable) const;
    void ListChanges(JobCopy& copy, Plan& plan) const;
    void AddEmptyFolder(ChangePlan& changes, Plan& plan, const wchar_t* name) const;
    void CopyChanges(JobCopy& copy, Plan& plan, JobEvents& events, JobReport& report) const;
    FileResult MakeSafetySet(const Plan& plan, const JournalEntry& entry, JobReport& report) const;
    void SwapIn(JobCopy& copy, JobJournal& journal, JournalEntry& entry, JobReport& report) const;
    void Discard(JobCopy& copy, JobJournal& journal, const JournalEntry& entry, JobReport& report) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
    std::wstring perUserCopy_;
    std::wstring journal_;
    RestoreChoice choice_;
};
