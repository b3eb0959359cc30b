#pragma once
// A restore: the game data of the backup set in setFolder copied back into gameFolder,
// merging with what the game folder holds.

#include <string>

#include "engine/JobEvents.h"

class RestoreJob {
public:
    RestoreJob(std::wstring gameFolder, std::wstring setFolder);

    // Copies saves and maps, yields three times, copies scores, yields three times,
    // raises FoldersCopied, copies the configuration file when the set has one, raises
    // Finished. A source folder that cannot be made raises AppError.
    JobReport Run(JobEvents& events);

private:
    std::wstring gameFolder_;
    std::wstring setFolder_;
};
