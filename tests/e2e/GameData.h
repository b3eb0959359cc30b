#pragma once
// The game's data as the program sees it: the fixed game folder, what of it a backup set
// holds, and a fixture that lends the game folder to one run.

#include <string>
#include <vector>

#include "FileTree.h"

inline constexpr wchar_t kUsualGameFolder[] = L"C:\\Program files\\Glimmerfen Studios\\Tarnwick";

// The game folder of this run: where the game installs itself, unless the run moved it
// below the Program Files folder for 32-bit programs.
const std::wstring& GameFolder();
void UseGameFolderBelowProgramFilesX86();
inline constexpr const wchar_t* kGameDataFolders[] = {L"saves", L"maps", L"scores"};
inline constexpr wchar_t kGameConfig[] = L"tarnwick.cfg";
// Where each restore keeps the game's data from before it, one folder per restore: beside
// the game folder.
std::wstring SafetySetsFolder();

// The part of a folder that a backup copies: saves, maps and scores with everything below
// (each listed as a folder even when absent, since the set then holds it empty) and tarnwick.cfg.
FileTree GameDataOf(const std::wstring& folder);

// What a player does after a backup: changes saved files, adds new ones and (unless told
// not to) deletes one. Returns one line per change, for the log.
std::vector<std::wstring> ChangeGameData(const std::wstring& gameFolder, bool deleteOne = true);

// The folders in SafetySetsFolder(), by name (their names sort as their times).
std::vector<std::wstring> SafetySetNames();

// Fills the game folder with the sample game data for one run. What the places the
// program looks for the game held before (both game folders, the remembered choice) is
// put aside and brought back when the fixture goes, so that the program finds this one.
class GameFolderFixture {
public:
    explicit GameFolderFixture(const std::wstring& sampleFolder);
    ~GameFolderFixture();
    GameFolderFixture(const GameFolderFixture&) = delete;
    GameFolderFixture& operator=(const GameFolderFixture&) = delete;

private:
    void PutAside(const std::wstring& folder);
    // Removes the sample data and brings back what the folders held before.
    void PutBack() noexcept;

    struct Aside {
        std::wstring folder, savedAs;
        bool createdParent = false;
    };
    std::vector<Aside> aside_;
    std::wstring rememberedChoice_;
    std::vector<std::wstring> safetySetsBefore_;  // the run removes only the ones it made
};
