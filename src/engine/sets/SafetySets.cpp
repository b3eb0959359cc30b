#include "engine/sets/SafetySets.h"

#include <algorithm>
#include <optional>
#include <cwchar>
#include <vector>

#include "engine/game/GameLayout.h"
#include "engine/sets/StampedName.h"
#include "files/DirSearch.h"
#include "files/FileOps.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"
#include "runtime/TextConv.h"

namespace {

const wchar_t kRootName[] = L"Tarnwick safety sets";

bool IsSafetySetName(const std::wstring& name) { return StampedName::Parse(name).has_value(); }

}  // namespace

std::wstring SafetySetRoot(const std::wstring& gameFolder) {
    std::wstring full = FullPath(gameFolder);
    if (full.empty())
        full = gameFolder;
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    size_t cut = full.find_last_of(L'\\');
    std::wstring parent = cut == std::wstring::npos ? full : full.substr(0, cut);
    return parent + L"\\" + kRootName;
}

std::wstring NewSafetySetFolder(const std::wstring& root, const SYSTEMTIME& now) {
    // Past the highest number of that time, not into a gap: a gap is where an older set of
    // it was pruned, and the new one would sort before the rest.
    StampedName name{now};
    try {
        for (const DirEntry& entry : DirSearch::Everything(LongPath(root))) {
            std::optional<StampedName> there = StampedName::Parse(entry.name);
            if (there && there->SameTime(name))
                name.number = std::max(name.number, there->number + 1);
        }
    } catch (const AppError&) {
        // A root that cannot be listed fails the job when the set is made in it.
    }
    return root + L"\\" + name.Text();
}

void PruneSafetySets(const std::wstring& root, size_t keep, const std::wstring& spare) {
    std::vector<StampedName> sets;
    try {
        for (const DirEntry& entry : DirSearch::Everything(LongPath(root))) {
            std::optional<StampedName> name = StampedName::Parse(entry.name);
            if (entry.IsFolder() && name)
                sets.push_back(*name);
        }
    } catch (const AppError&) {
        return;  // nothing listed, nothing removed
    }
    std::sort(sets.rbegin(), sets.rend());  // newest first
    for (size_t i = keep; i < sets.size(); ++i) {
        std::wstring folder = root + L"\\" + sets[i].Text();
        if (!spare.empty() && IsSameOrInsideFolder(spare, folder))
            continue;
        // One that cannot go now is tried again after the next restore.
        (void)DeleteTree(folder);
    }
}

bool IsSafetySetOf(const std::wstring& gameFolder, const std::wstring& folder) {
    size_t cut = folder.find_last_of(L'\\');
    if (cut == std::wstring::npos || !IsSafetySetName(folder.substr(cut + 1)))
        return false;
    std::wstring parent = folder.substr(0, cut);
    std::wstring root = SafetySetRoot(gameFolder);
    return IsSameOrInsideFolder(parent, root) && IsSameOrInsideFolder(root, parent);
}

std::string EncodeAddedList(const std::vector<std::wstring>& added) {
    std::string list;
    for (const std::wstring& name : added)
        list += Narrow(name) + "\r\n";
    return list;
}

ListRead ReadAddedList(const std::wstring& setFolder, std::vector<DataName>& added) {
    added.clear();
    const std::wstring path = game::Entry(setFolder, game::AddedListName);
    ListRead read = ReadListFile(path, 64u << 20);
    if (read.state != ListRead::State::Read)
        return read;
    return DecodeAddedList(read.text, path, added);
}

ListRead DecodeAddedList(const std::string& text, const std::wstring& path, std::vector<DataName>& added) {
    added.clear();
    ListRead read = DecodeListLines(text, path, [&](const ListLine& line) {
        std::optional<DataName> name = DataName::Parse(line.text, DataName::AddedList);
        if (name)
            added.push_back(std::move(*name));
        return name.has_value();
    });
    if (!read.Usable())
        added.clear();
    return read;
}
