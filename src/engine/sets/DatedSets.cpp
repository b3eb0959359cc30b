#include "engine/sets/DatedSets.h"

#include <algorithm>
#include <cwchar>
#include <tuple>

#include "engine/game/GameLayout.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/MarkerCheck.h"
#include "files/DirSearch.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"

std::wstring DatedSetName(const SYSTEMTIME& t) {
    wchar_t name[32];
    swprintf(name, 32, L"%04u.%02u.%02u %02u.%02u.%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return name;
}

namespace {

constexpr size_t kStampChars = 19;  // "yyyy.mm.dd hh.mm.ss"

WORD Number(const std::wstring& name, size_t at, size_t digits) {
    WORD value = 0;
    for (size_t i = at; i < at + digits; ++i)
        value = static_cast<WORD>(value * 10 + (name[i] - L'0'));
    return value;
}

SYSTEMTIME TimeOfName(const std::wstring& name) {
    return {Number(name, 0, 4), Number(name, 5, 2), 0, Number(name, 8, 2),
            Number(name, 11, 2), Number(name, 14, 2), Number(name, 17, 2), 0};
}

bool IsRealDateAndTime(const std::wstring& name) {
    const unsigned year = Number(name, 0, 4), month = Number(name, 5, 2), day = Number(name, 8, 2);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] + (month == 2 && leap ? 1 : 0))
        return false;
    return Number(name, 11, 2) < 24 && Number(name, 14, 2) < 60 && Number(name, 17, 2) < 60;
}

// " (2)" to " (99)" after the stamp, or nothing.
bool IsCountSuffix(std::wstring_view rest) {
    if (rest.empty())
        return true;
    if (rest.size() < 4 || rest.size() > 5 || rest.substr(0, 2) != L" (" || rest.back() != L')')
        return false;
    std::wstring_view digits = rest.substr(2, rest.size() - 3);
    if (digits.front() == L'0' || !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return false;
    return digits.size() == 2 || digits.front() >= L'2';
}

// A set of an earlier release stands at its name, read as local time.
std::uint64_t MadeByName(const std::wstring& name) {
    SYSTEMTIME local = TimeOfName(name), utc;
    FILETIME time;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &time))
        return 0;
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
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

bool IsDatedSetName(const std::wstring& name) {
    static constexpr wchar_t kShape[] = L"dddd.dd.dd dd.dd.dd";
    if (name.size() < kStampChars || !IsCountSuffix(std::wstring_view(name).substr(kStampChars)))
        return false;
    for (size_t i = 0; i < kStampChars; ++i) {
        bool digit = name[i] >= L'0' && name[i] <= L'9';
        if (kShape[i] == L'd' ? !digit : name[i] != kShape[i])
            return false;
    }
    return IsRealDateAndTime(name);
}

std::vector<DatedSet> DatedSets(const std::wstring& folder) {
    const std::wstring base = WithSeparator(folder);
    std::vector<DatedSet> sets;
    DirSearch search(base, FILE_ATTRIBUTE_DIRECTORY);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsFolder() || !IsDatedSetName(entry.name) || (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::wstring setFolder = base + entry.name;
        std::wstring marker = OwnMarker(setFolder);
        if (marker.empty())
            continue;
        std::uint64_t made = ReadMarkerMade(marker).value_or(MadeByName(entry.name));
        sets.push_back({entry.name, setFolder, marker, made});
    }
    // Sets of one second (the times carry whole seconds) by their number: as text, " (10)"
    // would sort before " (9)".
    auto order = [](const DatedSet& set) {
        const unsigned long n = set.name.size() > kStampChars ? std::wcstoul(set.name.c_str() + kStampChars + 2, nullptr, 10) : 1;
        return std::make_tuple(set.made, set.name.substr(0, kStampChars), n);
    };
    std::sort(sets.begin(), sets.end(), [&](const DatedSet& a, const DatedSet& b) { return order(a) < order(b); });
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
    const std::wstring base = WithSeparator(folder) + DatedSetName(now);
    for (int n = 1; n < 100; ++n) {
        set = n == 1 ? base : base + L" (" + std::to_wstring(n) + L")";
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
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(LongPath(game::Entry(setFolder, game::ConfigName)).c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ++size.files;
        size.bytes += (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    }
    return size;
}
