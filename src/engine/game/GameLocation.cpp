#include "engine/game/GameLocation.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "engine/game/GameLayout.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "files/KnownFolder.h"
#include "registry/ProgramSettings.h"

namespace {

const wchar_t kBelowProgramFiles[] = L"\\Glimmerfen Studios\\Tarnwick";

bool IsSameFolder(const std::wstring& a, const std::wstring& b) {
    return IsSameOrInsideFolder(a, b) && IsSameOrInsideFolder(b, a);
}

// The folders the game installs itself into, without the one the player chose.
std::vector<std::wstring> InstallFolders() {
    std::vector<std::wstring> found;
    auto add = [&](const std::wstring& folder) {
        if (folder.empty())
            return;
        for (const std::wstring& known : found) {
            if (IsSameFolder(folder, known))
                return;
        }
        found.push_back(folder);
    };
    add(game::Folder);
    for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFilesX86, FOLDERID_ProgramFiles})
        add(GameFolderBelow(id));
    return found;
}

}  // namespace

std::wstring GameFolderBelow(REFKNOWNFOLDERID id) {
    std::wstring programFiles = KnownFolderPath(id);
    return programFiles.empty() ? programFiles : programFiles + kBelowProgramFiles;
}

std::vector<std::wstring> GameFolderCandidates() {
    std::vector<std::wstring> found = InstallFolders();
    std::wstring chosen = ReadSetting(GameFolderValue);
    bool known = chosen.empty();
    for (const std::wstring& folder : found)
        known = known || IsSameFolder(chosen, folder);
    if (!known)
        found.push_back(chosen);
    return found;
}

std::wstring FindGameFolder() {
    for (const std::wstring& folder : GameFolderCandidates()) {
        if (game::HoldsGameData(folder))
            return folder;
    }
    // A game installed but not yet played holds no data; a restore still belongs there.
    for (const std::wstring& folder : InstallFolders()) {
        if (IsExistingFolder(folder))
            return folder;
    }
    return {};
}

std::wstring GameFolderOrUsual() {
    std::wstring found = FindGameFolder();
    return found.empty() ? std::wstring(game::Folder) : found;
}

bool IsUsualGameFolder(const std::wstring& folder) { return IsSameFolder(folder, game::Folder); }

void RememberGameFolder(const std::wstring& folder) { WriteSetting(GameFolderValue, FullPath(folder)); }
