#pragma once
// A backup: the game data of gameFolder copied into setFolder, merging with a set the
// folder holds already, then the set's marker file written there. The earlier set is
// kept whole until the new copy is: it is set aside in the set folder first, and either
// the new set stands complete with its marker, or the earlier set and its marker are
// put back exactly as they were.

#include <string>

#include "engine/JobEvents.h"

class BackupJob {
public:
    // perUserCopy: Windows' per-user copy of the game folder (see PerUserCopy.h), whose
    // files the game reads before its own; "" when there is none.
    BackupJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy = L"");

    // Copies the three folders, raises FoldersCopied, copies the configuration file,
    // keeps the earlier set's files the new copy lacks, writes and reads back the
    // marker, raises Finished. A game folder that cannot be made raises AppError once
    // the earlier set is back in place.
    JobReport Run(JobEvents& events);

    // Where an earlier set waits in the set folder while a backup runs.
    static std::wstring HoldingFolder(const std::wstring& setFolder);

private:
    bool Prepare(class SetAside& aside, JobReport& report) const;
    bool RecoverInterrupted(JobReport& report) const;
    void CopyAll(JobEvents& events, JobReport& report) const;
    void Commit(class SetAside& aside, JobReport& report) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
    std::wstring perUserCopy_;
};
