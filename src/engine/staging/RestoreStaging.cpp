#include "engine/staging/RestoreStaging.h"

#include "engine/game/GameLayout.h"
#include "runtime/StageHook.h"

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
    for (const SwapLayer& layer : layers)
        note(DeleteTree(RemovingFolder(layer.root)));  // a removal cut short
    for (const SwapLayer& layer : layers) {
        std::wstring folder = layer.staging;
        // The first layer's staging folder holds the swap list a start would replay: it is
        // renamed out of that reach, on the disk, before anything in it goes.
        if (&layer == &layers.front() && EntryExists(folder)) {
            if (FileResult aside = RenameEntryDurably(folder, RemovingFolder(layer.root)); !aside.Ok()) {
                note(aside);
                continue;
            }
            folder = RemovingFolder(layer.root);
            PassStage("staging set aside");
        }
        note(DeleteTree(folder));
    }
    return first;
}
