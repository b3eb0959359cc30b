#include "engine/sets/EarlierSet.h"

#include "engine/game/GameLayout.h"

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

namespace {

// Lets an earlier set go that the new set no longer needs.
FileResult ReleaseEarlierSet(const std::wstring& setFolder, const std::wstring& holding) {
    std::wstring releasing = EarlierSetFolder(setFolder, EarlierSetState::BeingRemoved);
    if (holding != releasing && EntryExists(holding)) {
        if (FileResult renamed = RenameEntry(holding, releasing); !renamed.Ok())
            return renamed;
    }
    (void)DeleteTree(releasing);
    return FileResult::Success();
}

}  // namespace

FileResult RecoverEarlierSet(const std::wstring& setFolder, std::optional<RefusedInput>& refused) {
    std::wstring releasing = EarlierSetFolder(setFolder, EarlierSetState::BeingRemoved);
    EarlierSetState state = EarlierSetState::Kept;
    bool found = FindHolding(setFolder, state);
    // Its entries would be moved into the set from wherever a link leads.
    if (found && IsLinkEntry(EarlierSetFolder(setFolder, state))) {
        refused = RefusedInput::Link(ShownPath(EarlierSetFolder(setFolder, state)));
        return FileResult::Failure(ERROR_INVALID_DATA, EarlierSetFolder(setFolder, state));
    }
    // An earlier set being removed means the new one stood whole, unless it is what an
    // older backup left beside an interrupted one.
    bool committed = EntryExists(releasing) && !found;
    (void)ReleaseEarlierSet(setFolder, releasing);
    if (committed || !found)
        return FileResult::Success();
    // The held entries replace the set's of the same names; the others stay. Earlier
    // releases named the holding folder "kept" while they were still moving entries into
    // it, so an entry only the set has may be earlier data not yet moved: it is never
    // taken for the new copy's. Each entry's two steps are safe to repeat.
    std::wstring holding = EarlierSetFolder(setFolder, state);
    for (const wchar_t* name : game::DataNames) {
        std::wstring held = game::Entry(holding, name);
        if (!EntryExists(held))
            continue;
        std::wstring current = game::Entry(setFolder, name);
        if (FileResult removed = DeleteTree(current); !removed.Ok())
            return removed;
        if (FileResult back = RenameEntry(held, current); !back.Ok())
            return back;
    }
    // Emptied; whatever stays in it is not the player's data.
    (void)DeleteTree(holding);
    return FileResult::Success();
}
