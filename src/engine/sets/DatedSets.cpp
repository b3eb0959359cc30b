#include "engine/sets/DatedSets.h"

#include <algorithm>

#include "engine/game/GameLayout.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/MarkerCheck.h"
#include "engine/sets/StampedName.h"
#include "files/DirSearch.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"
#include "runtime/TimeText.h"

std::wstring DatedSetName(const SYSTEMTIME& time) { return StampedName{time}.Text(); }

namespace {

// A set of an earlier release stands at its name, read as local time.
std::uint64_t MadeByName(const StampedName& name) {
    SYSTEMTIME utc;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &name.time, &utc))
        return 0;
    return FileTimeOf(utc);
}

// The newest marker in the set's folder that passes a restore's checks and names that
// folder; "" for none.
std::wstring OwnMarker(const std::wstring& setFolder) {
    std::vector<std::wstring> markers;
    DirSearch search(setFolder + L"\\Tarnwick_*.BAK", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsFolder())
            markers.push_back(setFolder + L"\\" + entry.name);
    }
    std::sort(markers.rbegin(), markers.rend());
    for (const std::wstring& marker : markers) {
        MarkerCheck check = CheckMarker(marker);
        if (check.Ok() && IsSameOrInsideFolder(check.location, setFolder) &&
            IsSameOrInsideFolder(setFolder, check.location))
            return marker;
    }
    return {};
}

std::wstring WithSeparator(const std::wstring& folder) {
    return folder.empty() || folder.back() != L'\\' ? folder + L"\\" : folder;
}

}  // namespace

bool IsDatedSetName(const std::wstring& name) { return StampedName::Parse(name).has_value(); }

std::vector<DatedSet> DatedSets(const std::wstring& folder) {
    const std::wstring base = WithSeparator(folder);
    std::vector<DatedSet> sets;
    DirSearch search(base, FILE_ATTRIBUTE_DIRECTORY);
    for (DirEntry entry; search.Next(entry);) {
        std::optional<StampedName> stamped = StampedName::Parse(entry.name);
        if (!entry.IsFolder() || !stamped || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::wstring setFolder = base + entry.name;
        std::wstring marker = OwnMarker(setFolder);
        if (marker.empty())
            continue;
        std::uint64_t made = ReadMarkerMade(marker).value_or(MadeByName(*stamped));
        sets.push_back({entry.name, setFolder, marker, made, *stamped});
    }
    // Sets of one second (the times carry whole seconds) by their names.
    std::sort(sets.begin(), sets.end(), [](const DatedSet& a, const DatedSet& b) {
        return a.made != b.made ? a.made < b.made : a.stamped < b.stamped;
    });
    return sets;
}

std::optional<DatedSet> NewestDatedSet(const std::wstring& folder) {
    try {
        std::vector<DatedSet> sets = DatedSets(folder);
        return sets.empty() ? std::nullopt : std::optional<DatedSet>(sets.back());
    } catch (const AppError&) {
        return std::nullopt;
    }
}

std::wstring MarkerOfFolder(const std::wstring& folder) {
    try {
        if (std::wstring own = OwnMarker(folder); !own.empty())
            return own;
    } catch (const AppError&) {
        return {};
    }
    std::optional<DatedSet> newest = NewestDatedSet(folder);
    return newest ? newest->marker : std::wstring();
}

FileResult MakeDatedSetFolder(const std::wstring& folder, const SYSTEMTIME& now, std::wstring& set) {
    for (unsigned n = 1; n < 100; ++n) {
        set = WithSeparator(folder) + StampedName{now, n}.Text();
        if (CreateDirectoryW(LongPath(set).c_str(), nullptr))
            return FileResult::Success();
        if (DWORD error = GetLastError(); error != ERROR_ALREADY_EXISTS)
            return FileResult::Failure(error, set);
    }
    return FileResult::Failure(ERROR_ALREADY_EXISTS, set);
}

FileResult KeepNewestDatedSets(const std::wstring& folder, size_t keep, const std::wstring& justMade) {
    std::vector<DatedSet> others;
    try {
        others = DatedSets(folder);
    } catch (const AppError& error) {
        return FileResult::Failure(static_cast<DWORD>(error.Number()), folder);
    }
    others.erase(std::remove_if(others.begin(), others.end(), [&](const DatedSet& s) { return s.name == justMade; }),
                 others.end());
    size_t keepOthers = keep > 0 ? keep - 1 : 0;
    for (size_t i = 0; i + keepOthers < others.size(); ++i) {
        if (FileResult removed = DeleteTree(others[i].folder); !removed.Ok())
            return removed;
    }
    return FileResult::Success();
}

namespace {

void AddTree(const std::wstring& folder, SetSize& size) {
    for (const DirEntry& entry : DirSearch::Everything(folder)) {
        if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            continue;
        if (entry.IsFolder()) {
            AddTree(folder + L"\\" + entry.name, size);
            continue;
        }
        ++size.files;
        size.bytes += entry.size;
    }
}

}  // namespace

SetSize SizeOfSet(const std::wstring& setFolder) {
    SetSize size;
    for (const wchar_t* name : game::FolderNames)
        AddTree(LongPath(game::Entry(setFolder, name)), size);
    if (std::optional<DirEntry> config = DirSearch::EntryAt(LongPath(game::Entry(setFolder, game::ConfigName)));
        config && !config->IsFolder()) {
        ++size.files;
        size.bytes += config->size;
    }
    return size;
}
