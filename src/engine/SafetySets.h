#pragma once
// Where a restore keeps the game's data as it was before: one backup set per restore,
// in a folder named by the date and time of the restore ("yyyy.mm.dd hh.mm.ss"), all in
// "Tarnwick safety sets" beside the game folder, on the game's own volume so that the
// data can be moved there by renaming. The newest five are kept.

#include <windows.h>

#include <string>

inline constexpr size_t SafetySetsKept = 5;

// parent of the game folder + "\Tarnwick safety sets".
std::wstring SafetySetRoot(const std::wstring& gameFolder);

// A name for a new safety set in root that no folder there has yet.
std::wstring NewSafetySetFolder(const std::wstring& root, const SYSTEMTIME& now);

// Removes the oldest safety sets in root beyond the newest `keep`, never `spare` (the
// set a restore was made from). Only folders named as safety sets are touched;
// a set that cannot be removed stays.
void PruneSafetySets(const std::wstring& root, size_t keep, const std::wstring& spare);
