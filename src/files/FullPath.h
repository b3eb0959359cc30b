#pragma once
// Full paths as the platform makes them: a relative path means the current folder,
// which the open-file dialog and every new start may change, so whatever outlives the
// moment gets its full form.

#include <string>

// True for "X:\..." and "\\server\share\..." (either separator); false for "bk",
// "..\sets", the drive-relative "C:bk" and the root-relative "\bk".
bool IsFullPath(const std::wstring& path);

// The platform's full form of path against the current folder ("..", "." resolved);
// "" when the platform cannot make one.
std::wstring FullPath(const std::wstring& path);

// True when path names folder itself or lies anywhere below it, whatever the spelling:
// case, a trailing "\", "." and "..", short (8.3) names of existing folders.
bool IsSameOrInsideFolder(const std::wstring& path, const std::wstring& folder);
