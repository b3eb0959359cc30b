#pragma once
// Where the game is installed. The program looks, in this order, for a folder that holds
// the game's data (see game::HoldsGameData):
//
//   1. "C:\Program files\Glimmerfen Studios\Tarnwick", where the game installs itself;
//   2. the same below the Program Files folders that Windows reports, first the one for
//      32-bit programs (FOLDERID_ProgramFilesX86: a 32-bit game on 64-bit Windows, or in
//      a 64-bit Wine prefix, installs there), then FOLDERID_ProgramFiles;
//   3. the folder the player chose, kept in the program's settings (value GameFolder),
//      used while it still holds the game's data.
//
// Everything that depends on the game folder follows the one found: backups and
// restores, the safety sets beside it, Windows' per-user copy of it, the backup folders
// step 2 refuses, the job's journal.

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

inline constexpr wchar_t GameFolderValue[] = L"GameFolder";

// Where the game installs itself below the Program Files folder that Windows reports
// for id (FOLDERID_ProgramFilesX86, FOLDERID_ProgramFiles); "" when Windows knows none.
std::wstring GameFolderBelow(REFKNOWNFOLDERID id);

// The folders looked at, in order, each once (the same folder under two names counts once).
std::vector<std::wstring> GameFolderCandidates();

// The first candidate that holds the game's data, else the first Program Files candidate
// that exists (the game installed but not yet played); "" when there is none.
std::wstring FindGameFolder();

// The game folder found, else where the game installs itself.
std::wstring GameFolderOrUsual();

// True when folder is where the game installs itself, under any spelling of it.
bool IsUsualGameFolder(const std::wstring& folder);

// Keeps the folder the player chose for the next start.
void RememberGameFolder(const std::wstring& folder);
