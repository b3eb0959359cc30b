#pragma once
// Backup sets kept one per run in a folder of their own, named by the run's local time
// "yyyy.mm.dd hh.mm.ss": the names sort as the times. A dated set is one this program
// made: a folder of such a name, of a date and time that can be, holding a marker of this
// program's that names that folder, checked as a restore checks it. Anything else in the
// folder is the player's, whatever its name: no job counts, orders, links to, verifies or
// removes it.

#include <windows.h>

#include <string>
#include <vector>

#include "files/FileOps.h"

std::wstring DatedSetName(const SYSTEMTIME& time);
// The shape "yyyy.mm.dd hh.mm.ss", of a date and time that can be.
bool IsDatedSetName(const std::wstring& name);

struct DatedSet {
    std::wstring name;    // "2026.12.08 21.00.00"
    std::wstring folder;  // the set's folder, in full
    std::wstring marker;  // its marker (the newest, where it has several)
};

// The dated sets in folder, by name, oldest first. A folder that cannot be listed raises
// an AppError.
std::vector<DatedSet> DatedSets(const std::wstring& folder);

// Removes the oldest dated sets in folder until keep are left, counting justMade (the
// set this run made) as kept whatever its name sorts as: after the clock went back, an
// older set may carry a later name. Stops at the first set that cannot be removed whole
// and says which; the newer ones are never touched.
FileResult KeepNewestDatedSets(const std::wstring& folder, size_t keep, const std::wstring& justMade);
