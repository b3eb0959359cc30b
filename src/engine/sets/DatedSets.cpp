#include "engine/sets/DatedSets.h"

#include <algorithm>
#include <cwchar>

#include "engine/sets/MarkerCheck.h"
#include "files/DirSearch.h"
#include "files/FullPath.h"

std::wstring DatedSetName(const SYSTEMTIME& t) {
    wchar_t name[32];
    swprintf(name, 32, L"%04u.%02u.%02u %02u.%02u.%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return name;
}

namespace {

unsigned Number(const std::wstring& name, size_t at, size_t digits) {
    unsigned value = 0;
    for (size_t i = at; i < at + digits; ++i)
        value = value * 10 + static_cast<unsigned>(name[i] - L'0');
    return value;
}

bool IsRealDateAndTime(const std::wstring& name) {
    const unsigned year = Number(name, 0, 4), month = Number(name, 5, 2), day = Number(name, 8, 2);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap ? 1 : 0))
        return false;
    return Number(name, 11, 2) < 24 && Number(name, 14, 2) < 60 && Number(name, 17, 2) < 60;
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

}  // namespace

bool IsDatedSetName(const std::wstring& name) {
    static constexpr wchar_t kShape[] = L"dddd.dd.dd dd.dd.dd";
    if (name.size() != std::size(kShape) - 1)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        bool digit = name[i] >= L'0' && name[i] <= L'9';
        if (kShape[i] == L'd' ? !digit : name[i] != kShape[i])
            return false;
    }
    return IsRealDateAndTime(name);
}

std::vector<DatedSet> DatedSets(const std::wstring& folder) {
    const std::wstring base = folder.empty() || folder.back() != L'\\' ? folder + L"\\" : folder;
    std::vector<DatedSet> sets;
    DirSearch search(base, FILE_ATTRIBUTE_DIRECTORY);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsFolder() || !IsDatedSetName(entry.name) || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::wstring setFolder = base + entry.name;
        if (std::wstring marker = OwnMarker(setFolder); !marker.empty())
            sets.push_back({entry.name, setFolder, marker});
    }
    std::sort(sets.begin(), sets.end(), [](const DatedSet& a, const DatedSet& b) { return a.name < b.name; });
    return sets;
}

FileResult KeepNewestDatedSets(const std::wstring& folder, size_t keep, const std::wstring& justMade) {
    std::vector<DatedSet> others = DatedSets(folder);
    others.erase(std::remove_if(others.begin(), others.end(), [&](const DatedSet& s) { return s.name == justMade; }),
                 others.end());
    size_t keepOthers = keep > 0 ? keep - 1 : 0;
    for (size_t i = 0; i + keepOthers < others.size(); ++i) {
        if (FileResult removed = DeleteTree(others[i].folder); !removed.Ok())
            return removed;
    }
    return FileResult::Success();
}
