#pragma once
// Where a restore keeps the game's data as it was before: one backup set per restore,
// in a folder named by the date and time of the restore ("yyyy.mm.dd hh.mm.ss"), all in
// "Tarnwick safety sets" beside the game folder, on the game's own volume so that the
// data can be moved there by renaming. The newest five are kept.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/input/DataName.h"
#include "engine/input/ListText.h"

inline constexpr size_t SafetySetsKept = 5;

// parent of the game folder + "\Tarnwick safety sets".
std::wstring SafetySetRoot(const std::wstring& gameFolder);

// A name for a new safety set in root that no folder there has yet.
std::wstring NewSafetySetFolder(const std::wstring& root, const SYSTEMTIME& now);

// Removes the oldest safety sets in root beyond the newest `keep`, never `spare` (the
// set a restore was made from). Only folders named as safety sets are touched;
// a set that cannot be removed stays.
void PruneSafetySets(const std::wstring& root, size_t keep, const std::wstring& spare);

// True when folder is a safety set of the game folder: named as one, right in its root.
bool IsSafetySetOf(const std::wstring& gameFolder, const std::wstring& folder);

// A safety set's list of what its restore added (game::AddedListName), which undoing the
// restore takes away again: a name a line, the per-user copy's behind the per-user
// layer's folder. Read, it is refused whole for one line that is not such a name.
std::string EncodeAddedList(const std::vector<std::wstring>& added);
ListRead DecodeAddedList(const std::string& text, const std::wstring& path, std::vector<DataName>& added);
ListRead ReadAddedList(const std::wstring& setFolder, std::vector<DataName>& added);
