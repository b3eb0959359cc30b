#include "engine/BackupStaging.h"

#include <vector>

namespace {

const wchar_t* const kStates[] = {L"being copied", L"being swapped in", L"being taken back"};
const wchar_t kKept[] = L"Tarnwick earlier files (kept until the new backup is complete)";
const wchar_t kList[] = L"Tarnwick swap list.txt";

std::wstring Staging(const std::wstring& setFolder, StagingState state) {
    return setFolder + L"\\Tarnwick new backup (" + kStates[static_cast<int>(state)] + L")";
}

// Runs the swap listed in the staging folder, forward or back.
FileResult Swap(const std::wstring& setFolder, StagingState state) {
    SwapLayer layer = BackupLayer(setFolder, state);
    // The list goes only once its swap has run to the end, with the folder's removal.
    if (!EntryExists(SwapListPath(layer.staging)))
        return FileResult::Success();
    std::string list;
    std::vector<SwapEntry> entries;
    if (!ReadWholeFile(SwapListPath(layer.staging), list) || !StagedSwap::Decode(list, entries))
        return FileResult::Failure(ERROR_FILE_CORRUPT, SwapListPath(layer.staging));
    StagedSwap swap({layer}, std::move(entries));
    return state == StagingState::Swapping ? swap.Forward() : swap.Backward();
}

}  // namespace

SwapLayer BackupLayer(const std::wstring& setFolder, StagingState state) {
    return {setFolder, Staging(setFolder, state), setFolder + L"\\" + kKept};
}

std::wstring SwapListPath(const std::wstring& staging) { return staging + L"\\" + kList; }

bool HoldsStagedBackup(const std::wstring& setFolder) {
    for (StagingState state : {StagingState::Copying, StagingState::Swapping, StagingState::TakingBack}) {
        if (EntryExists(Staging(setFolder, state)))
            return true;
    }
    return EntryExists(BackupLayer(setFolder, StagingState::Copying).kept);
}

FileResult RecoverStagedBackup(const std::wstring& setFolder, bool* finished) {
    for (StagingState state : {StagingState::Swapping, StagingState::TakingBack}) {
        if (!EntryExists(Staging(setFolder, state)))
            continue;
        if (FileResult swapped = Swap(setFolder, state); !swapped.Ok())
            return swapped;
        if (finished)
            *finished = state == StagingState::Swapping;
    }
    RemoveStagingFolders(setFolder);
    return FileResult::Success();
}

void RemoveStagingFolders(const std::wstring& setFolder) {
    // What cannot be removed now goes the next time a backup into this folder starts.
    for (StagingState state : {StagingState::Copying, StagingState::Swapping, StagingState::TakingBack})
        (void)DeleteTree(Staging(setFolder, state));
    (void)DeleteTree(BackupLayer(setFolder, StagingState::Copying).kept);
}
