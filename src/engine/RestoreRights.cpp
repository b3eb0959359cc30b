#include "engine/RestoreRights.h"

#include <algorithm>
#include <vector>

#include "engine/GameLayout.h"
#include "engine/SafetySets.h"
#include "files/ExistingFolder.h"
#include "files/WriteProbe.h"

namespace {

// The folder that holds folder: "C:\" for "C:\Games"; "" for a root.
std::wstring Above(const std::wstring& folder) {
    size_t cut = folder.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut + 1 >= folder.size())
        return {};
    return folder.substr(0, cut == 2 && folder[1] == L':' ? 3 : cut);
}

std::wstring Trimmed(std::wstring folder) {
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

// The folder, or the nearest folder above it that exists; "" when none does.
std::wstring NearestExisting(std::wstring folder) {
    while (!folder.empty() && !IsExistingFolder(LongPath(folder)))
        folder = Above(folder);
    return folder;
}

// The folders a restore writes in for one tree (the game folder or its per-user copy).
void AddTree(const std::wstring& given, std::vector<std::wstring>& folders) {
    const std::wstring tree = Trimmed(given);
    folders.push_back(Above(tree));
    folders.push_back(tree);
    for (const wchar_t* name : game::FolderNames)
        folders.push_back(game::Entry(tree, name));
}

}  // namespace

FileResult CheckRestoreRights(const std::wstring& gameFolder, const std::wstring& perUserCopy) {
    std::vector<std::wstring> folders;
    AddTree(gameFolder, folders);
    folders.push_back(SafetySetRoot(gameFolder));
    if (!perUserCopy.empty())
        AddTree(perUserCopy, folders);
    std::vector<std::wstring> probed;
    for (const std::wstring& folder : folders) {
        std::wstring existing = NearestExisting(folder);
        if (existing.empty() || std::find(probed.begin(), probed.end(), existing) != probed.end())
            continue;
        probed.push_back(existing);
        if (FileResult probe = ProbeWrite(existing); !probe.Ok() && IsLackOfRights(probe.error))
            return probe;
    }
    return FileResult::Success();
}
