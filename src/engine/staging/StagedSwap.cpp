#include "engine/staging/StagedSwap.h"

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
    std::wstring place = Join(layer.root, entry.name.Relative());
    std::wstring kept = Join(layer.kept, entry.name.Relative());
    if (entry.kind == SwapEntry::Kind::Remove)
        return EntryExists(place) && !EntryExists(kept) ? MoveInto(place, kept) : FileResult::Success();
    std::wstring staged = Join(layer.staging, entry.name.Relative());
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
    std::wstring place = Join(layer.root, entry.name.Relative());
    std::wstring kept = Join(layer.kept, entry.name.Relative());
    if (entry.kind == SwapEntry::Kind::Remove)
        return EntryExists(kept) && !EntryExists(place) ? RenameEntry(kept, place) : FileResult::Success();
    std::wstring staged = Join(layer.staging, entry.name.Relative());
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
        text += std::to_string(entry.layer) + " " + Narrow(entry.name.Relative()) + "\n";
    }
    return text;
}

ListRead StagedSwap::Decode(const std::string& text, const std::wstring& path, std::size_t layers,
                            const DataName::Syntax& syntax, std::vector<SwapEntry>& entries) {
    entries.clear();
    ListRead read = DecodeListLines(text, path, [&](const ListLine& line) {
        std::wstring_view l = line.text;
        bool form = l.size() > 3 && (l[0] == L'+' || l[0] == L'-') && l[1] >= L'0' &&
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
    return forward ? swap.Forward() : swap.Backward();
}

std::wstring SwapListPath(const std::wstring& staging) { return staging + L"\\Tarnwick swap list.txt"; }
