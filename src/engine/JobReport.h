#pragma once
// What a backup or restore job did: which parts of the game data it copied whole and
// which it did not, with the first file concerned and the platform's error where known.

#include <windows.h>

#include <string>
#include <vector>

struct CopyFailure {
    std::wstring item;       // the folder or file that was to be copied (its source path)
    std::wstring firstFile;  // the first file missing or differing at the destination
    DWORD error = ERROR_SUCCESS;
};

enum class ConfigCopy { Copied, Missing, Failed };

struct JobReport {
    std::vector<std::wstring> copiedFolders;   // source folders copied whole
    std::vector<CopyFailure> folderFailures;  // source folders not copied whole
    ConfigCopy config = ConfigCopy::Missing;
    CopyFailure configFailure;                // set when config is Failed
    std::wstring marker;                      // the marker written for a backup set, if any

    bool FoldersWhole() const { return folderFailures.empty(); }
};
