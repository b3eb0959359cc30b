#include "engine/sets/DatedSets.h"

#include <algorithm>
#include <cwchar>

#include "files/DirSearch.h"

std::wstring DatedSetName(const SYSTEMTIME& t) {
    wchar_t name[32];
    swprintf(name, 32, L"%04u.%02u.%02u %02u.%02u.%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
    return name;
}

bool IsDatedSetName(const std::wstring& name) {
    static constexpr wchar_t kShape[] = L"dddd.dd.dd dd.dd.dd";
    if (name.size() != std::size(kShape) - 1)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        bool digit = name[i] >= L'0' && name[i] <= L'9';
        if (kShape[i] == L'd' ? !digit : name[i] != kShape[i])
            return false;
    }
    return true;
}

std::vector<std::wstring> DatedSets(const std::wstring& folder) {
    std::vector<std::wstring> sets;
    DirSearch search(folder + L"\\", FILE_ATTRIBUTE_DIRECTORY);
    for (DirEntry entry; search.Next(entry);) {
        if (entry.IsFolder() && IsDatedSetName(entry.name))
            sets.push_back(entry.name);
    }
    std::sort(sets.begin(), sets.end());
    return sets;
}

FileResult KeepNewestDatedSets(const std::wstring& folder, size_t keep, const std::wstring& justMade) {
    std::vector<std::wstring> others = DatedSets(folder);
    others.erase(std::remove(others.begin(), others.end(), justMade), others.end());
    size_t keepOthers = keep > 0 ? keep - 1 : 0;
    for (size_t i = 0; i + keepOthers < others.size(); ++i) {
        if (FileResult removed = DeleteTree(folder + L"\\" + others[i]); !removed.Ok())
            return removed;
    }
    return FileResult::Success();
}
