#pragma once
// Backup sets kept one per run in a folder of their own, named by the run's local time
// "yyyy.mm.dd hh.mm.ss": the names sort as the times. Only folders named exactly so are
// counted or ever removed.

#include <windows.h>

#include <string>
#include <vector>

#include "files/FileOps.h"

std::wstring DatedSetName(const SYSTEMTIME& time);
bool IsDatedSetName(const std::wstring& name);

// The dated sets in folder, by name, oldest first; other entries are left out.
std::vector<std::wstring> DatedSets(const std::wstring& folder);

// Removes the oldest dated sets in folder until keep are left, counting justMade (the
// set this run made) as kept whatever its name sorts as: after the clock went back, an
// older set may carry a later name. Stops at the first set that cannot be removed whole
// and says which; the newer ones are never touched.
FileResult KeepNewestDatedSets(const std::wstring& folder, size_t keep, const std::wstring& justMade);
