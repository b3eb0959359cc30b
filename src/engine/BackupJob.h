#pragma once
// A backup: the game data of gameFolder copied into setFolder, merging with what the
// set folder holds, then the set's marker file written there when the copy is whole.

#include <string>

#include "engine/JobEvents.h"

class BackupJob {
public:
    BackupJob(std::wstring gameFolder, std::wstring setFolder);

    // Copies the three folders, raises FoldersCopied, copies the configuration file,
    // writes the marker, raises Finished. A folder that cannot be made raises AppError.
    JobReport Run(JobEvents& events);

private:
    std::wstring gameFolder_;
    std::wstring setFolder_;
};
