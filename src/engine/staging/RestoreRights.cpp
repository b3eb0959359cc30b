#include "engine/staging/RestoreRights.h"

#include <algorithm>
#include <vector>

#include "engine/game/GameLayout.h"
#include "engine/sets/SafetySets.h"
#include "engine/staging/RestoreStaging.h"
#include "files/WriteProbe.h"

FileResult CheckRestoreRights(const std::wstring& gameFolder, const std::wstring& perUserCopy) {
    std::vector<std::wstring> folders{SafetySetRoot(gameFolder)};
    for (const SwapLayer& layer : RestoreLayers(gameFolder, perUserCopy, L"")) {
        // The staging folder is made beside the tree, so its parent stands for it.
        folders.push_back(layer.staging.substr(0, layer.staging.find_last_of(L'\\')));
        folders.push_back(layer.root);
        for (const wchar_t* name : game::FolderNames)
            folders.push_back(game::Entry(layer.root, name));
    }
    std::vector<std::wstring> probed;
    for (const std::wstring& folder : folders) {
        const std::wstring existing = NearestExistingFolder(folder);
        if (existing.empty() || std::find(probed.begin(), probed.end(), existing) != probed.end())
            continue;
        probed.push_back(existing);
        if (FileResult probe = ProbeWrite(existing); !probe.Ok() && IsLackOfRights(probe.error))
            return probe;
    }
    return FileResult::Success();
}
