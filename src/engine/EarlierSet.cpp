#include "engine/EarlierSet.h"

#include "engine/GameLayout.h"
#include "engine/SetAside.h"

namespace {

const wchar_t* const kNames[] = {
    L"Tarnwick earlier set (being set aside)",
    L"Tarnwick earlier set (kept until the new backup is complete)",
    L"Tarnwick earlier set (being put back)",
    L"Tarnwick earlier set (being removed)",
};

constexpr EarlierSetState kUnfinished[] = {EarlierSetState::BeingSetAside, EarlierSetState::Kept,
                                           EarlierSetState::BeingPutBack};

// The holding folder an interrupted backup left, and its state; false when there is none.
bool FindHolding(const std::wstring& setFolder, EarlierSetState& state) {
    for (EarlierSetState candidate : kUnfinished) {
        if (EntryExists(EarlierSetFolder(setFolder, candidate))) {
            state = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace

std::wstring EarlierSetFolder(const std::wstring& setFolder, EarlierSetState state) {
    return game::Entry(setFolder, kNames[static_cast<int>(state)]);
}

bool HoldsInterruptedBackup(const std::wstring& setFolder) {
    EarlierSetState state;
    return FindHolding(setFolder, state);
}

std::wstring InterruptedHolding(const std::wstring& setFolder) {
    EarlierSetState state;
    return FindHolding(setFolder, state) ? EarlierSetFolder(setFolder, state) : setFolder;
}

FileResult PutEarlierSetBack(const std::wstring& setFolder, SetAside& aside) {
    if (FileResult removed = aside.RemoveUnheld(); !removed.Ok())
        return removed;
    if (FileResult renamed = aside.MoveHolding(EarlierSetFolder(setFolder, EarlierSetState::BeingPutBack));
        !renamed.Ok())
        return renamed;
    if (FileResult back = aside.ReplaceHeld(); !back.Ok())
        return back;
    // Emptied by the swap; whatever stays in it is not the player's data.
    (void)DeleteTree(aside.Holding());
    return FileResult::Success();
}

FileResult ReleaseEarlierSet(const std::wstring& setFolder, const std::wstring& holding) {
    std::wstring releasing = EarlierSetFolder(setFolder, EarlierSetState::BeingRemoved);
    if (holding != releasing && EntryExists(holding)) {
        if (FileResult renamed = RenameEntry(holding, releasing); !renamed.Ok())
            return renamed;
    }
    (void)DeleteTree(releasing);
    return FileResult::Success();
}

FileResult RecoverEarlierSet(const std::wstring& setFolder) {
    std::wstring releasing = EarlierSetFolder(setFolder, EarlierSetState::BeingRemoved);
    EarlierSetState state = EarlierSetState::Kept;
    bool found = FindHolding(setFolder, state);
    // An earlier set being removed means the new one stood whole, unless it is what an
    // older backup left beside an interrupted one.
    bool committed = EntryExists(releasing) && !found;
    (void)ReleaseEarlierSet(setFolder, releasing);
    if (committed || !found)
        return FileResult::Success();
    SetAside aside(setFolder, EarlierSetFolder(setFolder, state));
    // The folder's name says whether the move aside had finished.
    if (state == EarlierSetState::Kept) {
        aside.AdoptHeld(true);
        return PutEarlierSetBack(setFolder, aside);
    }
    aside.AdoptHeld(false);
    if (FileResult back = aside.ReplaceHeld(); !back.Ok())
        return back;
    (void)DeleteTree(aside.Holding());
    return FileResult::Success();
}
