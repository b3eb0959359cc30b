#pragma once
// A restore: the game data of the backup set in setFolder copied back into gameFolder,
// merging with what the game folder holds. Before the first file is replaced, the game's
// current data is set aside as a safety set with its own marker (see SafetySets), so
// that the restore can be undone; a restore that fails puts that data back at once.

#include <string>

#include "engine/JobEvents.h"

class RestoreJob {
public:
    RestoreJob(std::wstring gameFolder, std::wstring setFolder);

    // Sets the current data aside, copies saves and maps, yields three times, copies
    // scores, yields three times, raises FoldersCopied, copies the configuration file when
    // the set has one, keeps the current files the set lacks, raises Finished. A source
    // folder that cannot be made raises AppError once the earlier data is back in place.
    JobReport Run(JobEvents& events);

private:
    bool Prepare(class SetAside& aside, JobReport& report) const;
    void CopyAll(JobEvents& events, JobReport& report) const;

    std::wstring gameFolder_;
    std::wstring setFolder_;
};
