#pragma once
// A restore: the game data of the backup set in setFolder copied back into gameFolder,
// merging with what the game folder holds. Before the first file is replaced, the game's
// current data is set aside as a safety set with its own marker (see SafetySets), so
// that the restore can be undone; a restore that fails puts that data back at once.
//
// Where Windows keeps a per-user copy of the game folder (see PerUserCopy.h), the game
// reads that copy first: its data is set aside into the safety set too (in the layer
// folder below), and each restored file goes where the game will read it, into the
// per-user copy where that copy held the file or its folder, else into the game folder.
// A set with such a layer (a safety set) is restored with the layer's files over its own.

#include <string>

#include "engine/JobEvents.h"
#include "files/FileOps.h"

class SetAside;

class RestoreJob {
public:
    RestoreJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy = L"");

    // Sets the current data aside, copies saves and maps, yields three times, copies
    // scores, yields three times, raises FoldersCopied, copies the configuration file when
    // the set has one, keeps the current files the set lacks, raises Finished. A source
    // folder that cannot be made raises AppError once the earlier data is back in place.
    JobReport Run(JobEvents& events);

    // The folder in a set that holds the per-user copy's layer.
    static std::wstring PerUserLayer(const std::wstring& setFolder);

private:
    bool Prepare(SetAside& game, SetAside& perUser, JobReport& report) const;
    void CopyAll(JobEvents& events, JobReport& report) const;
    FileResult PlaceInPerUserCopy(const SetAside& perUser) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
    std::wstring perUserCopy_;
};
