#include "engine/staging/StagedSwap.h"

#include <algorithm>
#include <optional>

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

namespace {

// Where one entry of a layer lies at each step, and which of them are there now.
struct EntryPlaces {
    std::wstring place, staged, kept;
    bool inPlace = false, isStaged = false, isKept = false;

    EntryPlaces(const SwapLayer& layer, const std::wstring& relative)
        : place(Join(layer.root, relative)),
          staged(Join(layer.staging, relative)),
          kept(Join(layer.kept, relative)),
          inPlace(EntryExists(place)),
          isStaged(EntryExists(staged)),
          isKept(EntryExists(kept)) {}
};

FileResult Ok() { return FileResult::Success(); }

}  // namespace

FileResult StagedSwap::Record() {
    for (SwapEntry& entry : entries_) {
        if (entry.kind == SwapEntry::Kind::Remove)
            continue;
        EntryPlaces at(layers_.at(static_cast<size_t>(entry.layer)), entry.name.Relative());
        if (!at.isStaged)
            return FileResult::Failure(ERROR_FILE_NOT_FOUND, at.staged);
        entry.kind = at.inPlace ? SwapEntry::Kind::Replace : SwapEntry::Kind::Add;
    }
    return Ok();
}

FileResult StagedSwap::Forward() { return ForwardFrom(true); }

FileResult StagedSwap::ForwardFrom(bool live) {
    ranForward_ = true;
    for (reached_ = 0; reached_ < entries_.size(); ++reached_) {
        if (FileResult done = ForwardOne(entries_[reached_], true, live); !done.Ok())
            return done;
        PassStage("entry swapped");
    }
    return Ok();
}

FileResult StagedSwap::Backward() {
    // A forward swap that stopped at an entry may have set that entry's earlier one aside.
    std::size_t end = ranForward_ ? std::min(reached_ + 1, entries_.size()) : entries_.size();
    for (std::size_t i = end; i-- > 0;) {
        if (FileResult done = BackwardOne(entries_[i], true); !done.Ok())
            return done;
        PassStage("entry swapped back");
    }
    return Ok();
}

FileResult StagedSwap::Check(bool forward) const {
    for (const SwapEntry& entry : entries_) {
        if (FileResult can = forward ? ForwardOne(entry, false, false) : BackwardOne(entry, false); !can.Ok())
            return can;
    }
    return Ok();
}

FileResult StagedSwap::ForwardOne(const SwapEntry& entry, bool act, bool live) const {
    EntryPlaces at(layers_.at(static_cast<size_t>(entry.layer)), entry.name.Relative());
    if (entry.kind == SwapEntry::Kind::Remove)
        return act && at.inPlace && !at.isKept ? MoveInto(at.place, at.kept) : Ok();
    if (!at.isStaged) {
        // In place already, as far as the list and the disk both say; else the staged copy
        // is gone, and the entry cannot be put in place.
        bool done = entry.kind == SwapEntry::Kind::Put ||
                    (entry.kind == SwapEntry::Kind::Add && at.inPlace) ||
                    (entry.kind == SwapEntry::Kind::Replace && at.inPlace && at.isKept);
        return done && !live ? Ok() : FileResult::Failure(ERROR_FILE_NOT_FOUND, at.staged);
    }
    bool setAside = false;
    if (at.inPlace) {
        // What stands there goes aside first; only where the list says one stood there,
        // and never over a kept entry of that name (the place holds what nobody staged).
        if (entry.kind == SwapEntry::Kind::Add)
            return FileResult::Failure(ERROR_ALREADY_EXISTS, at.place);
        if (at.isKept)
            return FileResult::Failure(ERROR_ALREADY_EXISTS, at.kept);
        setAside = true;
    } else if (entry.kind == SwapEntry::Kind::Replace && !at.isKept) {
        return FileResult::Failure(ERROR_FILE_NOT_FOUND, at.place);  // what it replaces is gone
    }
    if (!act)
        return Ok();
    if (setAside) {
        if (FileResult aside = MoveInto(at.place, at.kept); !aside.Ok())
            return aside;
    }
    return RenameEntry(at.staged, at.place);
}

FileResult StagedSwap::BackwardOne(const SwapEntry& entry, bool act) const {
    EntryPlaces at(layers_.at(static_cast<size_t>(entry.layer)), entry.name.Relative());
    if (entry.kind == SwapEntry::Kind::Remove)
        return act && at.isKept && !at.inPlace ? RenameEntry(at.kept, at.place) : Ok();
    if (at.isKept) {
        // The entry that stood there was set aside: the new one (if in place) goes back
        // to the staging folder, the earlier one returns. Something in place while the new
        // one is still staged is neither: not the swap's to move.
        if (at.inPlace && at.isStaged)
            return FileResult::Failure(ERROR_ALREADY_EXISTS, at.place);
        if (!act)
            return Ok();
        if (at.inPlace) {
            if (FileResult back = MoveInto(at.place, at.staged); !back.Ok())
                return back;
        }
        return RenameEntry(at.kept, at.place);
    }
    // Nothing set aside: what stands in place of a Replace is the earlier entry itself.
    // In place of an Add (or an earlier release's Put), an entry no longer staged is the
    // new one: the place was empty when the list was written.
    if (entry.kind == SwapEntry::Kind::Replace || at.isStaged || !at.inPlace || !act)
        return Ok();
    return MoveInto(at.place, at.staged);
}

std::string StagedSwap::Encode(const std::vector<SwapEntry>& entries) {
    std::string text;
    for (const SwapEntry& entry : entries) {
        text += static_cast<char>(entry.kind);
        text += std::to_string(entry.layer) + " " + Narrow(entry.name.Relative()) + "\n";
    }
    return text;
}

ListRead StagedSwap::Decode(const std::string& text, const std::wstring& path, std::size_t layers,
                            const DataName::Syntax& syntax, std::vector<SwapEntry>& entries) {
    entries.clear();
    ListRead read = DecodeListLines(text, path, [&](const ListLine& line) {
        std::wstring_view l = line.text;
        bool form = l.size() > 3 && std::wstring_view(L"+>*-").find(l[0]) != std::wstring_view::npos && l[1] >= L'0' &&
                    static_cast<std::size_t>(l[1] - L'0') < layers && l[2] == L' ';
        std::optional<DataName> name = form ? DataName::Parse(l.substr(3), syntax) : std::nullopt;
        if (name)
            entries.push_back({static_cast<SwapEntry::Kind>(l[0]), l[1] - L'0', std::move(*name)});
        return name.has_value();
    });
    if (!read.Usable())
        entries.clear();
    return read;
}

ListRead StagedSwap::ReadList(const std::wstring& path, std::size_t layers, const DataName::Syntax& syntax,
                              std::vector<SwapEntry>& entries) {
    entries.clear();
    // A swap list is written a line a staged entry: a few hundred bytes each at the most.
    ListRead read = ReadListFile(path, 64u << 20);
    if (read.state != ListRead::State::Read)
        return read;
    return Decode(read.text, path, layers, syntax, entries);
}

std::wstring StagedSwap::FindLink() const {
    const auto isLink = IsLinkEntry;
    for (const SwapLayer& layer : layers_) {
        for (const std::wstring* folder : {&layer.staging, &layer.kept}) {
            if (isLink(*folder))
                return *folder;
        }
    }
    for (const SwapEntry& entry : entries_) {
        const SwapLayer& layer = layers_.at(static_cast<size_t>(entry.layer));
        const std::wstring& rel = entry.name.Relative();
        // Every folder on the way, and the entry itself: a rename through a link would
        // move what lies elsewhere.
        for (size_t cut = rel.find(L'\\');; cut = rel.find(L'\\', cut + 1)) {
            std::wstring part = rel.substr(0, cut);
            for (const std::wstring* base : {&layer.root, &layer.staging, &layer.kept}) {
                if (isLink(Join(*base, part)))
                    return Join(*base, part);
            }
            if (cut == std::wstring::npos)
                break;
        }
    }
    return {};
}

FileResult StagedSwap::RunListed(const std::vector<SwapLayer>& layers, const DataName::Syntax& syntax, bool forward,
                                 std::optional<RefusedInput>& refused) {
    const std::wstring list = SwapListPath(layers.at(0).staging);
    auto refuse = [&](RefusedInput input) {
        FileResult failure = FileResult::Failure(ERROR_INVALID_DATA, input.path);
        refused = std::move(input);
        return failure;
    };
    // The list is read only from a staging folder that is one: never through a link.
    if (IsLinkEntry(layers.at(0).staging))
        return refuse(RefusedInput::Link(ShownPath(layers.at(0).staging)));
    std::vector<SwapEntry> entries;
    ListRead read = ReadList(list, layers.size(), syntax, entries);
    switch (read.state) {
    case ListRead::State::Missing:
        return FileResult::Success();  // the list goes only once its swap has run to the end
    case ListRead::State::Unreadable:
        return FileResult::Failure(read.error, list);
    case ListRead::State::Refused:
        return refuse(read.refused);
    case ListRead::State::Read:
        break;
    }
    StagedSwap swap(layers, std::move(entries));
    if (std::wstring link = swap.FindLink(); !link.empty())
        return refuse(RefusedInput::Link(ShownPath(link)));
    // Every entry is looked at before any is moved: one the list and the disk disagree on
    // leaves the whole swap as it lies.
    if (FileResult can = swap.Check(forward); !can.Ok())
        return can;
    return forward ? swap.ForwardFrom(false) : swap.Backward();
}

std::wstring SwapListPath(const std::wstring& staging) { return staging + L"\\Tarnwick swap list.txt"; }

FileResult RemoveSpentStaging(const std::wstring& staging, const std::wstring& removing) {
    if (FileResult left = DeleteTree(removing); !left.Ok())
        return left;
    if (!EntryExists(staging))
        return FileResult::Success();
    if (FileResult aside = RenameEntryDurably(staging, removing); !aside.Ok())
        return aside;
    PassStage("staging set aside");
    return DeleteTree(removing);
}
