#include "engine/SetAside.h"

#include <algorithm>

#include "engine/GameLayout.h"
#include "runtime/StageHook.h"

SetAside::SetAside(std::wstring root, std::wstring holding) : root_(std::move(root)), holding_(std::move(holding)) {}

bool SetAside::IsHeld(const std::wstring& name) const {
    return std::find(held_.begin(), held_.end(), name) != held_.end();
}

FileResult SetAside::Take() {
    if (root_.empty())
        return FileResult::Success();
    for (const wchar_t* name : game::DataNames) {
        std::wstring from = game::Entry(root_, name);
        if (!EntryExists(from))
            continue;
        if (held_.empty()) {
            FileResult made = MakeFolderPath(holding_);
            if (!made.Ok())
                return made;
        }
        FileResult moved = RenameEntry(from, game::Entry(holding_, name));
        if (!moved.Ok()) {
            // The entries not yet moved are still in place: only the moved ones go back,
            // and the holding folder goes again once it is empty.
            if (ReplaceHeld().Ok()) {
                held_.clear();
                RemoveDirectoryW(LongPath(holding_).c_str());
            }
            return moved;
        }
        held_.push_back(name);
        PassStage("entry set aside");
    }
    taken_ = true;
    return FileResult::Success();
}

FileResult SetAside::MoveHolding(const std::wstring& newHolding) {
    if (newHolding != holding_ && EntryExists(holding_)) {
        if (FileResult renamed = RenameEntry(holding_, newHolding); !renamed.Ok())
            return renamed;
    }
    holding_ = newHolding;
    return FileResult::Success();
}

FileResult SetAside::PutBack() {
    if (FileResult removed = RemoveUnheld(); !removed.Ok())
        return removed;
    return ReplaceHeld();
}

FileResult SetAside::RemoveUnheld() {
    if (root_.empty() || !taken_)
        return FileResult::Success();
    for (const wchar_t* name : game::DataNames) {
        if (IsHeld(name))
            continue;
        if (FileResult removed = DeleteTree(game::Entry(root_, name)); !removed.Ok())
            return removed;
    }
    return FileResult::Success();
}

FileResult SetAside::ReplaceHeld() {
    for (const std::wstring& name : held_) {
        std::wstring held = game::Entry(holding_, name);
        if (root_.empty() || !EntryExists(held))
            continue;  // back already
        std::wstring current = game::Entry(root_, name);
        if (FileResult removed = DeleteTree(current); !removed.Ok())
            return removed;
        if (FileResult back = RenameEntry(held, current); !back.Ok())
            return back;
        PassStage("entry put back");
    }
    return FileResult::Success();
}

void SetAside::Adopt(std::vector<std::wstring> names, bool taken) {
    held_ = std::move(names);
    taken_ = taken;
}

void SetAside::AdoptHeld(bool taken) {
    std::vector<std::wstring> names;
    for (const wchar_t* name : game::DataNames) {
        if (EntryExists(game::Entry(holding_, name)))
            names.push_back(name);
    }
    Adopt(std::move(names), taken);
}
