#include "engine/staging/RestoreRights.h"

#include <algorithm>
#include <vector>

#include "engine/game/GameLayout.h"
#include "engine/sets/SafetySets.h"
#include "engine/staging/RestoreStaging.h"
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

}  // namespace

FileResult CheckRestoreRights(const std::wstring& gameFolder, const std::wstring& perUserCopy) {
    std::vector<std::wstring> folders{SafetySetRoot(gameFolder)};
    for (const SwapLayer& layer : RestoreLayers(gameFolder, perUserCopy, L"")) {
        folders.push_back(Above(layer.staging));
        const std::wstring tree = Trimmed(layer.root);
        folders.push_back(tree);
        for (const wchar_t* name : game::FolderNames)
            folders.push_back(game::Entry(tree, name));
    }
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
