#pragma once
// What a game data tree holds, in the game's own folder and in a backup set alike: the
// folders "saves", "maps" and "scores" and the configuration file "tarnwick.cfg".

#include <string>

namespace game {

// Where the game installs itself (see GameLocation.h for where else it may be).
inline constexpr wchar_t Folder[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick";
inline constexpr wchar_t Saves[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick\\saves";
inline constexpr wchar_t Maps[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick\\maps";
inline constexpr wchar_t Scores[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick\\scores";
inline constexpr wchar_t ConfigFile[] = L"c:\\Program files\\Glimmerfen Studios\\Tarnwick\\tarnwick.cfg";

// The names the three folders have in the game folder and in a backup set, in the
// order every job copies them.
inline constexpr const wchar_t* FolderNames[] = {L"saves", L"maps", L"scores"};
inline constexpr wchar_t ConfigName[] = L"tarnwick.cfg";
// Every entry of a game data tree: the three folders, then the configuration file.
inline constexpr const wchar_t* DataNames[] = {FolderNames[0], FolderNames[1], FolderNames[2], ConfigName};

// root + "\" + name, the root used as it stands (a root ending in "\" gives a doubled
// separator, which the platform reads as one).
inline std::wstring Entry(const std::wstring& root, const std::wstring& name) { return root + L"\\" + name; }

// The folder in a safety set that holds what it keeps of Windows' per-user copy of the
// game folder (see RestoreJob).
inline constexpr wchar_t PerUserLayerName[] = L"Per-user copy (VirtualStore)";

// A set's manifest of the SHA-256 of each of its files (see SetManifest.h).
inline constexpr wchar_t ManifestName[] = L"Tarnwick set contents.sha256";

// The list in a safety set of what its restore added (see RestoreJob).
inline constexpr wchar_t AddedListName[] = L"Tarnwick safety set added files.txt";

// True when root holds any part of a game data tree: one of the folders as a folder, or
// the configuration file as a file, or a safety set's list of added files.
bool HoldsGameData(const std::wstring& root);

}  // namespace game
