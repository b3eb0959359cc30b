#pragma once
// A restore: the game data of the backup set in setFolder copied back into gameFolder,
// merging with what the game folder holds. Before the first file is replaced, the game's
// current data is set aside as a safety set with its own marker (see SafetySets), so
// that the restore can be undone; a restore that fails puts that data back at once, and
// the job's journal (JobJournal) lets the next start of the program do the same after
// the job was killed.
//
// Where Windows keeps a per-user copy of the game folder (see PerUserCopy.h), the game
// reads that copy first: its data is set aside into the safety set too (in the layer
// folder below), and each restored file goes where the game will read it, into the
// per-user copy where that copy held the file or its folder, else into the game folder.
// A set with such a layer (a safety set) is restored with the layer's files over its own.

#include <string>

#include "engine/JobEvents.h"
#include "engine/JobJournal.h"

class JobCopy;
class SetAside;

class RestoreJob {
public:
    RestoreJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy = L"",
               std::wstring journal = JobJournal::DefaultPath());

    // Puts right what an interrupted job left, sets the current data aside, lists what it
    // copies, copies saves and maps, yields three times, copies scores, yields three
    // times, raises FoldersCopied, copies the configuration file when the set has one and
    // the current files the set lacks, makes the copies durable, raises Finished. A
    // source folder that cannot be made raises AppError once the earlier data is back.
    JobReport Run(JobEvents& events);

    // The folder in a set that holds the per-user copy's layer.
    static std::wstring PerUserLayer(const std::wstring& setFolder);

private:
    FileResult SetAsideCurrentData(SetAside& game, SetAside& perUser, JournalEntry& entry, JobJournal& journal,
                                   JobStage& stage, JobReport& report) const;
    void CopyAll(JobCopy& copy, const SetAside& game, const SetAside& perUser, JobEvents& events,
                 JobReport& report) const;
    void Undo(JobCopy& copy, SetAside& game, SetAside& perUser, JobJournal& journal, const JournalEntry& entry,
              JobReport& report) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
    std::wstring perUserCopy_;
    std::wstring journal_;
};
