#include "engine/staging/RestoreStaging.h"

#include "engine/game/GameLayout.h"

namespace {

std::wstring RemovingFolder(const std::wstring& root) { return root + L" (restore being removed)"; }

}  // namespace

std::wstring PerUserLayer(const std::wstring& setFolder) { return game::Entry(setFolder, game::PerUserLayerName); }

std::vector<SwapLayer> RestoreLayers(const std::wstring& gameFolder, const std::wstring& perUserCopy,
                                     const std::wstring& safetySet) {
    std::vector<SwapLayer> layers{{gameFolder, gameFolder + L" (restore being copied)", safetySet}};
    if (!perUserCopy.empty())
        layers.push_back({perUserCopy, perUserCopy + L" (restore being copied)", PerUserLayer(safetySet)});
    return layers;
}

FileResult RemoveRestoreStaging(const std::vector<SwapLayer>& layers) {
    FileResult first;
    auto note = [&](const FileResult& result) {
        if (first.Ok())
            first = result;
    };
    // The first layer's staging folder holds the swap list a start would replay; the others
    // go as they are, once it has.
    for (const SwapLayer& layer : layers) {
        note(&layer == &layers.front() ? RemoveSpentStaging(layer.staging, RemovingFolder(layer.root))
                                       : DeleteTree(layer.staging));
    }
    return first;
}
