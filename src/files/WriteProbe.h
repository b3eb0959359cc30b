#pragma once
// Whether this process may add files to a folder, found out by doing it: a probe file
// with a name no other file has, made and removed again. The system removes it even when
// the program is killed in between (delete on close), so nothing is left behind. This
// asks the file system itself, with every rule it applies (rights, a read-only or
// immutable folder), where a check of the folder's security would know only the rights.

#include <string>

#include "files/FileOps.h"

// Success when a file could be made in folder; else the platform's error with the folder.
FileResult ProbeWrite(const std::wstring& folder);

// True for the errors that say this user may not write there, which other rights could
// change (not a full disk, a missing drive or read-only media).
bool IsLackOfRights(DWORD error);
