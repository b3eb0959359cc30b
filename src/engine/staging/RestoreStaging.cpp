#include "engine/staging/RestoreStaging.h"

#include "engine/game/GameLayout.h"

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
    for (const SwapLayer& layer : layers) {
        if (FileResult removed = DeleteTree(layer.staging); first.Ok())
            first = removed;
    }
    return first;
}
