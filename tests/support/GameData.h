#pragma once
// The game's folder in the test prefix, filled with a small set of game data and
// removed again afterwards, for the backup and restore tests.

#include <string>
#include <utility>
#include <vector>

class GameFolder {
public:
    GameFolder();  // the game folder with saves, maps, scores (nested) and tarnwick.cfg
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    static std::wstring Path();
    // Where restores keep the game's data from before; emptied with the game folder.
    static std::wstring SafetySets();
    static std::wstring Sub(const std::wstring& relative) { return Path() + L"\\" + relative; }
};

// The game's folder below the Program Files folder for 32-bit programs, which the
// GameFolder fixture empties and removes with the remembered choice of a game folder.
std::wstring ProgramFilesX86GameFolder();

// Windows' per-user copy of the game folder, made by hand in the test prefix (Wine makes
// none) and removed again with everything in it.
class PerUserGameCopy {
public:
    PerUserGameCopy();
    ~PerUserGameCopy();
    PerUserGameCopy(const PerUserGameCopy&) = delete;
    PerUserGameCopy& operator=(const PerUserGameCopy&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring Sub(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// A small game data tree in root (made as needed): saves with a nested slot, maps,
// scores and tarnwick.cfg, each file's content naming the flavour.
void MakeGameData(const std::wstring& root, const std::string& flavour);

// Every file and folder below root, as relative paths with contents.
using Tree = std::vector<std::pair<std::wstring, std::string>>;
Tree TreeOf(const std::wstring& root);
