#include "GameData.h"

#include <windows.h>
#include <knownfolders.h>

#include "TestSupport.h"
#include "engine/game/GameLocation.h"
#include "engine/journal/JobJournal.h"
#include "files/PerUserCopy.h"
#include "registry/ProgramSettings.h"

std::wstring GameFolder::Path() { return L"C:\\Program files\\Glimmerfen Studios\\Tarnwick"; }

std::wstring GameFolder::SafetySets() { return L"C:\\Program files\\Glimmerfen Studios\\Tarnwick safety sets"; }

namespace {

// Where else the lookup finds a game: it must find none but this one in a test.
void ForgetOtherGameFolders() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, GameFolderValue);
    RemoveTree(ProgramFilesX86GameFolder());
    RemoveTree(ProgramFilesX86GameFolder() + L" safety sets");
    // Left only when empty: "Glimmerfen Studios" may hold what a test did not make.
    std::wstring parent = ProgramFilesX86GameFolder();
    RemoveDirectoryW(parent.substr(0, parent.rfind(L'\\')).c_str());
}

}  // namespace

std::wstring ProgramFilesX86GameFolder() {
    return GameFolderBelow(FOLDERID_ProgramFilesX86);
}

GameFolder::GameFolder() {
    RemoveTree(Path());
    RemoveTree(SafetySets());
    ForgetOtherGameFolders();
    // A journal that an earlier run left would be acted on by the first job.
    RemoveTree(JobJournal::DefaultPath());
    MakeDirs(Sub(L"saves\\slot 1"));
    MakeDirs(Sub(L"saves\\slot 2\\deep"));
    MakeDirs(Sub(L"maps\\custom"));
    MakeDirs(Sub(L"scores"));
    WriteTextFile(Sub(L"saves\\slot 1\\game.sav"), "save one");
    WriteTextFile(Sub(L"saves\\slot 2\\game.sav"), "save two");
    WriteTextFile(Sub(L"saves\\slot 2\\deep\\autosave.sav"), std::string(70000, 'a'));
    WriteTextFile(Sub(L"saves\\quick.sav"), "quick");
    WriteTextFile(Sub(L"maps\\fen.map"), "fen map");
    WriteTextFile(Sub(L"maps\\custom\\my map \u00e9.map"), "custom map");
    WriteTextFile(Sub(L"scores\\high.scr"), "100 200 300");
    WriteTextFile(Sub(L"tarnwick.cfg"), "volume=7\r\n");
}

GameFolder::~GameFolder() {
    RemoveTree(Path());
    RemoveTree(SafetySets());
    ForgetOtherGameFolders();
}

PerUserGameCopy::PerUserGameCopy() : path_(PerUserCopyPath(GameFolder::Path())) {
    RemoveTree(path_);
    MakeDirs(path_);
}

PerUserGameCopy::~PerUserGameCopy() { RemoveTree(path_); }

Tree TreeOf(const std::wstring& root) { return ListTree(root); }

void MakeGameData(const std::wstring& root, const std::string& flavour) {
    MakeDirs(root + L"\\saves\\slot 1");
    MakeDirs(root + L"\\maps");
    MakeDirs(root + L"\\scores");
    WriteTextFile(root + L"\\saves\\slot 1\\game.sav", "slot one " + flavour);
    WriteTextFile(root + L"\\saves\\quick.sav", "quick " + flavour);
    WriteTextFile(root + L"\\maps\\fen.map", "fen " + flavour);
    WriteTextFile(root + L"\\scores\\high.scr", "scores " + flavour);
    WriteTextFile(root + L"\\tarnwick.cfg", "cfg " + flavour);
}
