#pragma once
// A backup: the game data of gameFolder copied into setFolder, merging with a set the
// folder holds already, then the set's marker file written there. The earlier set is
// kept whole until the new copy is: it is set aside in the set folder first (see
// EarlierSet.h), and either the new set stands complete with its marker, or the earlier
// set and its marker are put back exactly as they were. The job's journal (JobJournal)
// lets the next start of the program do the same after the job was killed.

#include <string>

#include "engine/JobEvents.h"
#include "engine/JobJournal.h"

class JobCopy;
class SetAside;

class BackupJob {
public:
    // perUserCopy: Windows' per-user copy of the game folder (see PerUserCopy.h), whose
    // files the game reads before its own; "" when there is none. journal: where the job
    // keeps its journal.
    BackupJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy = L"",
              std::wstring journal = JobJournal::DefaultPath());

    // Puts right what an interrupted job left, lists what it copies, copies the three
    // folders, raises FoldersCopied, copies the configuration file and the earlier set's
    // files the new copy lacks, makes the copies durable, writes and reads back the
    // marker, lets the earlier set go, raises Finished. A game folder that cannot be
    // made raises AppError once the earlier set is back in place.
    JobReport Run(JobEvents& events);

    // Where an earlier set waits in the set folder while a backup runs.
    static std::wstring HoldingFolder(const std::wstring& setFolder);

private:
    void CopyAll(JobCopy& copy, const SetAside& aside, JobEvents& events, JobReport& report) const;
    bool Commit(JournalEntry& entry, JobJournal& journal, JobReport& report) const;
    void Undo(JobCopy& copy, SetAside& aside, JobJournal& journal, const JournalEntry& entry,
              JobReport& report) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
    std::wstring perUserCopy_;
    std::wstring journal_;
};
