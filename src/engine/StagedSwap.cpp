#include "engine/StagedSwap.h"

#include <sstream>

#include "runtime/StageHook.h"
#include "runtime/TextConv.h"

namespace {

std::wstring Join(const std::wstring& root, const std::wstring& relative) { return root + L"\\" + relative; }

std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// Moves an entry to a place whose folder may not exist yet.
FileResult MoveInto(const std::wstring& from, const std::wstring& to) {
    if (FileResult made = MakeFolderPath(ParentOf(to)); !made.Ok())
        return made;
    return RenameEntry(from, to);
}

}  // namespace

StagedSwap::StagedSwap(std::vector<SwapLayer> layers, std::vector<SwapEntry> entries)
    : layers_(std::move(layers)), entries_(std::move(entries)) {}

FileResult StagedSwap::Forward() {
    for (const SwapEntry& entry : entries_) {
        if (FileResult done = ForwardOne(entry); !done.Ok())
            return done;
        PassStage("entry swapped");
    }
    return FileResult::Success();
}

FileResult StagedSwap::Backward() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (FileResult done = BackwardOne(*it); !done.Ok())
            return done;
        PassStage("entry swapped back");
    }
    return FileResult::Success();
}

FileResult StagedSwap::ForwardOne(const SwapEntry& entry) const {
    const SwapLayer& layer = layers_.at(static_cast<size_t>(entry.layer));
    std::wstring place = Join(layer.root, entry.relative);
    std::wstring kept = Join(layer.kept, entry.relative);
    if (entry.kind == SwapEntry::Kind::Remove)
        return EntryExists(place) && !EntryExists(kept) ? MoveInto(place, kept) : FileResult::Success();
    std::wstring staged = Join(layer.staging, entry.relative);
    if (!EntryExists(staged))
        return FileResult::Success();  // in place already
    if (EntryExists(place)) {
        // What stands there goes aside first; a kept entry of that name would mean the
        // place holds something nobody staged.
        if (EntryExists(kept))
            return FileResult::Failure(ERROR_ALREADY_EXISTS, kept);
        if (FileResult aside = MoveInto(place, kept); !aside.Ok())
            return aside;
    }
    return RenameEntry(staged, place);
}

FileResult StagedSwap::BackwardOne(const SwapEntry& entry) const {
    const SwapLayer& layer = layers_.at(static_cast<size_t>(entry.layer));
    std::wstring place = Join(layer.root, entry.relative);
    std::wstring kept = Join(layer.kept, entry.relative);
    if (entry.kind == SwapEntry::Kind::Remove)
        return EntryExists(kept) && !EntryExists(place) ? RenameEntry(kept, place) : FileResult::Success();
    std::wstring staged = Join(layer.staging, entry.relative);
    if (EntryExists(kept)) {
        // The entry that stood there was set aside: the new one (if in place) goes back
        // to the staging folder, the earlier one returns.
        if (EntryExists(place)) {
            if (FileResult back = MoveInto(place, staged); !back.Ok())
                return back;
        }
        return RenameEntry(kept, place);
    }
    // Nothing stood there: an entry in place that is no longer staged is the new one.
    if (!EntryExists(staged) && EntryExists(place))
        return MoveInto(place, staged);
    return FileResult::Success();
}

std::string StagedSwap::Encode(const std::vector<SwapEntry>& entries) {
    std::string text;
    for (const SwapEntry& entry : entries) {
        text += static_cast<char>(entry.kind);
        text += std::to_string(entry.layer) + " " + Narrow(entry.relative) + "\n";
    }
    return text;
}

bool StagedSwap::Decode(const std::string& text, std::vector<SwapEntry>& entries) {
    entries.clear();
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 4 || (line[0] != '+' && line[0] != '-') || (line[1] != '0' && line[1] != '1') ||
            line[2] != ' ')
            return false;
        entries.push_back({static_cast<SwapEntry::Kind>(line[0]), line[1] - '0', Widen(line.substr(3))});
    }
    return true;
}
