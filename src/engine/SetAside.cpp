#include "engine/SetAside.h"

#include "engine/GameLayout.h"
#include "files/ExistingFolder.h"
#include "files/TreeCompare.h"
#include "runtime/AppError.h"

SetAside::SetAside(std::wstring root, std::wstring holding) : root_(std::move(root)), holding_(std::move(holding)) {}

FileResult SetAside::Take() {
    for (const wchar_t* name : game::DataNames) {
        std::wstring from = game::Entry(root_, name);
        if (!EntryExists(from))
            continue;
        if (moved_.empty()) {
            FileResult made = MakeFolderPath(holding_);
            if (!made.Ok())
                return made;
        }
        FileResult moved = RenameEntry(from, game::Entry(holding_, name));
        if (!moved.Ok()) {
            // The entries not yet moved are still in place: only the moved ones go back,
            // and the holding folder goes again once it is empty.
            if (MoveBack().Ok())
                RemoveDirectoryW(LongPath(holding_).c_str());
            return moved;
        }
        moved_.push_back(name);
    }
    taken_ = true;
    return FileResult::Success();
}

FileResult SetAside::BringBackMissing() const {
    for (const std::wstring& name : moved_) {
        std::wstring held = game::Entry(holding_, name);
        std::wstring current = game::Entry(root_, name);
        if (!EntryExists(current)) {
            if (FileResult copied = CopyTree(held, current); !copied.Ok())
                return copied;
            continue;
        }
        // An entry the new data has stands; only two folders merge.
        if (!IsExistingFolder(LongPath(held)) || !IsExistingFolder(LongPath(current)))
            continue;
        try {
            for (const std::wstring& rel : TreeDifferences(held, current, static_cast<size_t>(-1), Compare::Presence)) {
                FileResult copied = CopyTree(held + L"\\" + rel, current + L"\\" + rel);
                if (!copied.Ok())
                    return copied;
            }
        } catch (const AppError& e) {
            return FileResult::Failure(static_cast<DWORD>(e.Number()), held);
        }
    }
    return FileResult::Success();
}

FileResult SetAside::PutBack() {
    // Only after a whole Take is everything under the entries' names in root the job's.
    if (!taken_)
        return FileResult::Success();
    FileResult first = FileResult::Success();
    for (const wchar_t* name : game::DataNames) {
        FileResult removed = DeleteTree(game::Entry(root_, name));
        if (!removed.Ok() && first.Ok())
            first = removed;
    }
    if (!first.Ok())
        return first;
    FileResult back = MoveBack();
    if (back.Ok())
        taken_ = false;
    return back;
}

FileResult SetAside::MoveBack() {
    for (auto it = moved_.begin(); it != moved_.end();) {
        FileResult back = RenameEntry(game::Entry(holding_, *it), game::Entry(root_, *it));
        if (!back.Ok())
            return back;
        it = moved_.erase(it);
    }
    return FileResult::Success();
}

void SetAside::AdoptHeld() {
    taken_ = true;
    moved_.clear();
    for (const wchar_t* name : game::DataNames) {
        if (EntryExists(game::Entry(holding_, name)))
            moved_.push_back(name);
    }
}
