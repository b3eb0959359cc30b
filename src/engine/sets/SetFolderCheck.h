#pragma once
// The checks a folder passes before a backup goes into it, in their order: a path is
// given, it is an existing folder, it lies outside the game folder, and the marker can
// record it whole. The backup wizard and the command line share them.

#include <string>

enum class SetFolderVerdict { Ok, NoPath, NotAFolder, InsideGame, TooLong };

struct SetFolderCheck {
    SetFolderVerdict verdict = SetFolderVerdict::Ok;
    std::wstring message;  // what the player is told when the verdict is not Ok

    bool Ok() const { return verdict == SetFolderVerdict::Ok; }
};

// folder must be a full path; gameFolder is the game folder the backup would take.
SetFolderCheck CheckSetFolder(const std::wstring& folder, const std::wstring& gameFolder);
