#pragma once
// Backup sets kept one per run in a folder of their own, named by the run's local time
// "yyyy.mm.dd hh.mm.ss", with " (2)", " (3)"... where a set of that name is there already
// (the hour the clock repeats in autumn). A dated set is one this program made: a folder
// of such a name, of a date and time that can be, holding a marker of this program's that
// names that folder, checked as a restore checks it. Anything else in the folder is the
// player's, whatever its name: no job counts, orders, links to, verifies or removes it.
//
// Sets are ordered by the UTC time their marker carries (ReadMarkerMade), not by name:
// local time runs back an hour at the autumn clock change and jumps when a laptop
// crosses time zones. A set of an earlier release, without that time, stands at its name
// read as local time.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/sets/StampedName.h"
#include "files/FileOps.h"

std::wstring DatedSetName(const SYSTEMTIME& time);
// A name of that shape (see StampedName).
bool IsDatedSetName(const std::wstring& name);

struct DatedSet {
    std::wstring name;    // "2026.12.08 21.00.00"
    std::wstring folder;  // the set's folder, in full
    std::wstring marker;  // its marker (the newest, where it has several)
    std::uint64_t made = 0;  // when it was made: a file time, UTC
    StampedName stamped;     // its name read
};

// The dated sets in folder, oldest first. A folder that cannot be listed raises an AppError.
std::vector<DatedSet> DatedSets(const std::wstring& folder);

// The newest dated set in folder; nothing where there is none or the folder cannot be listed.
std::optional<DatedSet> NewestDatedSet(const std::wstring& folder);

// The set a folder stands for: its own (a marker in it that names it), else its newest
// dated set. "" for neither.
std::wstring MarkerOfFolder(const std::wstring& folder);

// Makes the folder of a new dated set in folder for the local time now; set: its path.
FileResult MakeDatedSetFolder(const std::wstring& folder, const SYSTEMTIME& now, std::wstring& set);

// Removes the oldest dated sets in folder until keep are left, counting justMade (the
// folder name of the set this run made) as kept. Stops at the first set that cannot be
// removed whole and says which (or the folder, where it cannot be listed); the newer ones
// are never touched.
FileResult KeepNewestDatedSets(const std::wstring& folder, size_t keep, const std::wstring& justMade);

// The files of a set's game data and their bytes.
struct SetSize {
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
};
// Raises an AppError for a folder of the set that cannot be listed.
SetSize SizeOfSet(const std::wstring& setFolder);
