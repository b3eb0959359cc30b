#pragma once
// What a backup set on disk must look like, and what a restore must leave in the game folder.

#include <windows.h>

#include <string>
#include <vector>

#include "FileTree.h"

// "Tarnwick_yyyy.mm.dd.BAK" for the given local date.
std::wstring MarkerName(const SYSTEMTIME& date);
// The marker's bytes as the platform writes a new one for this folder.
std::string ExpectedMarkerBytes(const std::wstring& setFolder, const std::wstring& madeUtc);
// The marker files in the folder, by name.
std::vector<std::wstring> MarkerFiles(const std::wstring& setFolder);
// The folder a marker leads to ("Backup_Location" of section "Backup").
std::wstring MarkerLocation(const std::wstring& markerPath);

// Checks a fresh backup set against the game folder it was made from: every folder and file
// byte-identical, and exactly one marker named for one of the accepted dates.
// Throws E2eError listing every difference.
void VerifyBackupSet(const FileTree& gameData, const std::wstring& setFolder,
                     const std::vector<std::wstring>& acceptedMarkerNames);

// Checks a restore: every folder and file of the set back in the game folder byte-identical,
// and everything of the game folder that the set lacks as it was before.
void VerifyRestore(const FileTree& setData, const FileTree& gameBefore, const FileTree& gameAfter);
