#include "GameData.h"

#include <windows.h>

#include <knownfolders.h>

#include <algorithm>

#include "E2eError.h"
#include "Log.h"
#include "engine/game/GameLocation.h"
#include "files/KnownFolder.h"
#include "registry/ProgramSettings.h"

namespace {

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring ProgramFilesX86GameFolder() {
    return KnownFolderPath(FOLDERID_ProgramFilesX86) + L"\\Glimmerfen Studios\\Tarnwick";
}

std::wstring g_gameFolder = kUsualGameFolder;

}  // namespace

const std::wstring& GameFolder() { return g_gameFolder; }

void UseGameFolderBelowProgramFilesX86() { g_gameFolder = ProgramFilesX86GameFolder(); }

std::wstring SafetySetsFolder() { return g_gameFolder + L" safety sets"; }

FileTree GameDataOf(const std::wstring& folder) {
    FileTree all = FileTree::Read(folder);
    FileTree data;
    for (const wchar_t* name : kGameDataFolders) {
        data.Add({name, true, {}});
        FileTree below = all.Below(name);
        for (const auto& [key, entry] : below.Entries())
            data.Add(entry);
    }
    if (const TreeEntry* config = all.Find(kGameConfig))
        data.Add(*config);
    return data;
}

std::vector<std::wstring> ChangeGameData(const std::wstring& gameFolder, bool deleteOne) {
    struct Change {
        const wchar_t* path;
        const char* bytes;
    };
    static const Change changes[] = {
        {L"saves\\slot1.sav", "TWSAVE played on after the backup\r\n"},
        {L"saves\\slot3.sav", "TWSAVE a new slot the backup never saw\r\n"},
        {L"maps\\custom\\Drawn Later.map", "; a map drawn after the backup\r\n"},
        {L"scores\\seasons\\season-3.txt", "Season 3\r\n1. Pell 12000\r\n"},
        {kGameConfig, "[Display]\r\nWidth=640\r\nHeight=480\r\n"},
    };
    std::vector<std::wstring> done;
    for (const Change& change : changes) {
        WriteBytes(gameFolder + L"\\" + change.path, change.bytes);
        done.push_back(std::wstring(L"wrote ") + change.path);
    }
    std::wstring deleted = gameFolder + L"\\maps\\Fenmarsh.map";
    if (deleteOne && DeleteFileW(deleted.c_str()))
        done.push_back(L"deleted maps\\Fenmarsh.map");
    return done;
}

std::vector<std::wstring> SafetySetNames() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((SafetySetsFolder() + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

GameFolderFixture::GameFolderFixture(const std::wstring& sampleFolder) {
    safetySetsBefore_ = SafetySetNames();
    if (!IsFolder(sampleFolder))
        throw E2eError(L"no sample game data at " + sampleFolder);
    rememberedChoice_ = ReadSetting(GameFolderValue);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, GameFolderValue);
    try {
        for (const std::wstring& folder : {std::wstring(kUsualGameFolder), ProgramFilesX86GameFolder()})
            PutAside(folder);
        std::wstring parent = ParentOf(GameFolder());
        if (!PathExists(parent))
            aside_.push_back({parent, L"", true});
        CopyTree(sampleFolder, GameFolder());
    } catch (const E2eError&) {
        PutBack();
        throw;
    }
    Log(L"game folder " + GameFolder() + L" seeded from " + sampleFolder);
}

GameFolderFixture::~GameFolderFixture() { PutBack(); }

void GameFolderFixture::PutAside(const std::wstring& folder) {
    if (!PathExists(folder))
        return;
    std::wstring savedAs = folder + L" (put aside by e2e " + std::to_wstring(GetCurrentProcessId()) + L")";
    if (!MoveFileW(folder.c_str(), savedAs.c_str()))
        throw E2eError(L"cannot put the existing game folder aside: " + Win32Message(GetLastError()));
    aside_.push_back({folder, savedAs, false});
}

void GameFolderFixture::PutBack() noexcept {
    try {
        RemoveTree(GameFolder());
        for (const std::wstring& name : SafetySetNames()) {
            if (std::find(safetySetsBefore_.begin(), safetySetsBefore_.end(), name) == safetySetsBefore_.end())
                RemoveTree(SafetySetsFolder() + L"\\" + name);
        }
        if (safetySetsBefore_.empty())
            RemoveDirectoryW(SafetySetsFolder().c_str());
        for (const Aside& entry : aside_) {
            if (entry.createdParent)
                RemoveDirectoryW(entry.folder.c_str());
            else if (!MoveFileW(entry.savedAs.c_str(), entry.folder.c_str()))
                Log(L"could not put the game folder back from " + entry.savedAs);
        }
        aside_.clear();
        if (!rememberedChoice_.empty())
            WriteSetting(GameFolderValue, rememberedChoice_);
    } catch (const E2eError& error) {
        Log(L"cleaning up the game folder: " + error.Message());
    }
}
