#include "engine/staging/BackupStaging.h"

#include <vector>

namespace {

const wchar_t* const kStates[] = {L"being copied", L"being swapped in", L"being taken back", L"being removed"};
const wchar_t kKept[] = L"Tarnwick earlier files (kept until the new backup is complete)";

std::wstring Staging(const std::wstring& setFolder, StagingState state) {
    return setFolder + L"\\Tarnwick new backup (" + kStates[static_cast<int>(state)] + L")";
}

}  // namespace

SwapLayer BackupLayer(const std::wstring& setFolder, StagingState state) {
    return {setFolder, Staging(setFolder, state), setFolder + L"\\" + kKept};
}

bool HoldsStagedBackup(const std::wstring& setFolder) {
    for (StagingState state :
         {StagingState::Copying, StagingState::Swapping, StagingState::TakingBack, StagingState::Removing}) {
        if (EntryExists(Staging(setFolder, state)))
            return true;
    }
    return EntryExists(BackupLayer(setFolder, StagingState::Copying).kept);
}

FileResult RecoverStagedBackup(const std::wstring& setFolder, std::optional<RefusedInput>& refused, bool* finished) {
    for (StagingState state : {StagingState::Swapping, StagingState::TakingBack}) {
        if (!EntryExists(Staging(setFolder, state)))
            continue;
        const bool forward = state == StagingState::Swapping;
        if (FileResult swapped = StagedSwap::RunListed({BackupLayer(setFolder, state)}, DataName::BackupSwap, forward,
                                                       refused);
            !swapped.Ok())
            return swapped;
        if (finished)
            *finished = state == StagingState::Swapping;
    }
    (void)RemoveStagingFolders(setFolder);  // what stays is refused before the next copy
    return FileResult::Success();
}

FileResult RemoveStagingFolders(const std::wstring& setFolder) {
    // What cannot be removed now goes the next time a backup into this folder starts.
    FileResult first;
    auto note = [&](const FileResult& result) {
        if (first.Ok())
            first = result;
    };
    // A swap list in the copying folder is never replayed: that folder simply goes.
    note(DeleteTree(Staging(setFolder, StagingState::Copying)));
    for (StagingState state : {StagingState::Swapping, StagingState::TakingBack})
        note(RemoveSpentStaging(Staging(setFolder, state), Staging(setFolder, StagingState::Removing)));
    note(DeleteTree(BackupLayer(setFolder, StagingState::Copying).kept));
    return first;
}
