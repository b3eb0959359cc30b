#pragma once
// The game's data as the program sees it: the fixed game folder, what of it a backup set
// holds, and a fixture that lends the game folder to one run.

#include <string>
#include <vector>

#include "FileTree.h"

inline constexpr wchar_t kGameFolder[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick";
inline constexpr const wchar_t* kGameDataFolders[] = {L"saves", L"maps", L"scores"};
inline constexpr wchar_t kGameConfig[] = L"tarnwick.cfg";
// Where each restore keeps the game's data from before it, one folder per restore.
inline constexpr wchar_t kSafetySets[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick safety sets";

// The part of a folder that a backup copies: saves, maps and scores with everything below
// (each listed as a folder even when absent, since the set then holds it empty) and tarnwick.cfg.
FileTree GameDataOf(const std::wstring& folder);

// What a player does after a backup: changes saved files, adds new ones and (unless told
// not to) deletes one. Returns one line per change, for the log.
std::vector<std::wstring> ChangeGameData(const std::wstring& gameFolder, bool deleteOne = true);

// The folders in kSafetySets, by name (their names sort as their times).
std::vector<std::wstring> SafetySetNames();

// Fills the game folder with the sample game data for one run; what the folder held
// before is put aside and brought back when the fixture goes.
class GameFolderFixture {
public:
    explicit GameFolderFixture(const std::wstring& sampleFolder);
    ~GameFolderFixture();
    GameFolderFixture(const GameFolderFixture&) = delete;
    GameFolderFixture& operator=(const GameFolderFixture&) = delete;

private:
    // Removes the sample data and brings back what the folder held before.
    void PutBack() noexcept;

    std::wstring savedAside_;
    bool createdParent_ = false;
    std::vector<std::wstring> safetySetsBefore_;  // the run removes only the ones it made
};
