#include "GameData.h"

#include <windows.h>

#include <algorithm>

#include "E2eError.h"
#include "Log.h"

namespace {

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

}  // namespace

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
    HANDLE find = FindFirstFileW((std::wstring(kSafetySets) + L"\\*").c_str(), &data);
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
    std::wstring parent = ParentOf(kGameFolder);
    createdParent_ = !PathExists(parent);
    if (PathExists(kGameFolder)) {
        savedAside_ = std::wstring(kGameFolder) + L" (put aside by e2e " + std::to_wstring(GetCurrentProcessId()) + L")";
        if (!MoveFileW(kGameFolder, savedAside_.c_str()))
            throw E2eError(L"cannot put the existing game folder aside: " + Win32Message(GetLastError()));
    }
    try {
        CopyTree(sampleFolder, kGameFolder);
    } catch (const E2eError&) {
        PutBack();
        throw;
    }
    Log(std::wstring(L"game folder seeded from ") + sampleFolder);
}

GameFolderFixture::~GameFolderFixture() { PutBack(); }

void GameFolderFixture::PutBack() noexcept {
    try {
        RemoveTree(kGameFolder);
        for (const std::wstring& name : SafetySetNames()) {
            if (std::find(safetySetsBefore_.begin(), safetySetsBefore_.end(), name) == safetySetsBefore_.end())
                RemoveTree(std::wstring(kSafetySets) + L"\\" + name);
        }
        if (safetySetsBefore_.empty())
            RemoveDirectoryW(kSafetySets);
        if (!savedAside_.empty() && !MoveFileW(savedAside_.c_str(), kGameFolder))
            Log(L"could not put the game folder back from " + savedAside_);
        if (createdParent_)
            RemoveDirectoryW(ParentOf(kGameFolder).c_str());
    } catch (const E2eError& error) {
        Log(L"cleaning up the game folder: " + error.Message());
    }
}
