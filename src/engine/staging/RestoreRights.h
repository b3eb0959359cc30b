#pragma once
// Whether this program may write where a restore writes, asked before the restore changes
// anything: the game folder and its data folders, the folder above it (which holds the
// restore's staging folder and the folder of safety sets), that folder of safety sets,
// and the same for Windows' per-user copy of the game folder where there is one. A folder
// that is not there yet is stood for by the nearest folder above it that is, where it
// would be made.
//
// The answer is a hint: rights can change in between, and a file may still refuse. A
// restore that meets "access denied" later is undone as any failure is.

#include <string>

#include "files/FileOps.h"

// The first of those folders this process may not write (IsLackOfRights), with its error;
// success when it may write in all of them. Other errors are the job's to meet.
FileResult CheckRestoreRights(const std::wstring& gameFolder, const std::wstring& perUserCopy);
