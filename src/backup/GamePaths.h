#pragma once
// Where the game keeps what a backup set holds. Fixed: the game installs there.

namespace game {

inline constexpr wchar_t Folder[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick";
inline constexpr wchar_t Saves[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick\\saves";
inline constexpr wchar_t Maps[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick\\maps";
inline constexpr wchar_t Scores[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick\\scores";
inline constexpr wchar_t ConfigFile[] = L"c:\\Program files\\Glimmerfen Studios\\Tarnwick\\tarnwick.cfg";

// The names the three folders have in the game folder and in a backup set.
inline constexpr const wchar_t* FolderNames[] = {L"saves", L"maps", L"scores"};
inline constexpr wchar_t ConfigName[] = L"tarnwick.cfg";

}  // namespace game
