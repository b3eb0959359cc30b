#pragma once
// Windows' per-user copy of a folder under Program Files. An old program that a standard
// user runs (no manifest, no administrator rights) may not write into "C:\Program Files";
// since Windows Vista the system then silently redirects its writes to a copy of that
// folder in the user's profile, %LOCALAPPDATA%\VirtualStore\Program Files\..., and lets
// the program read that copy before the real folder. The game is such a program, so its
// newest saves may lie there. This program's manifest names its execution level, which
// turns the redirection off for it: it sees only the real folder unless it looks at the
// copy itself. Wine redirects nothing, so
// under Wine the copy exists only where someone made it.

#include <string>

// Where the per-user copy of folder (a path on a drive) lies, whether or not it exists;
// "" when the user's local application data folder is not known.
std::wstring PerUserCopyPath(const std::wstring& folder);

// The same, or "" when there is no such folder.
std::wstring ExistingPerUserCopy(const std::wstring& folder);
