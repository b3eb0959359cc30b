#include "engine/sets/SafetySets.h"

#include <algorithm>
#include <optional>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "engine/game/GameLayout.h"
#include "files/DirSearch.h"
#include "files/FileOps.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"
#include "runtime/TextConv.h"

namespace {

const wchar_t kRootName[] = L"Tarnwick safety sets";
const wchar_t kStampPattern[] = L"dddd.dd.dd dd.dd.dd";

// "yyyy.mm.dd hh.mm.ss", optionally followed by " (n)" for a second set in one second.
bool IsSafetySetName(const std::wstring& name) {
    const size_t stampLength = std::wcslen(kStampPattern);
    if (name.size() < stampLength)
        return false;
    for (size_t i = 0; i < stampLength; ++i) {
        bool wantDigit = kStampPattern[i] == L'd';
        if (wantDigit ? !std::iswdigit(name[i]) : name[i] != kStampPattern[i])
            return false;
    }
    return name.size() == stampLength || name.compare(stampLength, 2, L" (") == 0;
}

// The set's number within its second: 1 for the first, n for " (n)".
unsigned long SecondsNumber(const std::wstring& name) {
    const size_t stampLength = std::wcslen(kStampPattern);
    return name.size() > stampLength + 2 ? std::wcstoul(name.c_str() + stampLength + 2, nullptr, 10) : 1;
}

std::wstring Stamp(const SYSTEMTIME& t) {
    wchar_t text[32];
    swprintf(text, 32, L"%04u.%02u.%02u %02u.%02u.%02u", unsigned{t.wYear}, unsigned{t.wMonth}, unsigned{t.wDay},
             unsigned{t.wHour}, unsigned{t.wMinute}, unsigned{t.wSecond});
    return text;
}

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
    const std::wstring stamp = Stamp(now);
    // Past the highest number of that second, not into a gap: a gap is where an older set
    // of the second was pruned, and the new one would sort before the rest.
    unsigned long highest = 0;
    try {
        for (const DirEntry& entry : DirSearch::Everything(LongPath(root))) {
            if (IsSafetySetName(entry.name) && entry.name.compare(0, stamp.size(), stamp) == 0)
                highest = std::max(highest, SecondsNumber(entry.name));
        }
    } catch (const AppError&) {
        // A root that cannot be listed fails the job when the set is made in it.
    }
    const std::wstring base = root + L"\\" + stamp;
    return highest == 0 ? base : base + L" (" + std::to_wstring(highest + 1) + L")";
}

void PruneSafetySets(const std::wstring& root, size_t keep, const std::wstring& spare) {
    std::vector<std::wstring> sets;
    try {
        for (const DirEntry& entry : DirSearch::Everything(LongPath(root))) {
            if (entry.IsFolder() && IsSafetySetName(entry.name))
                sets.push_back(entry.name);
        }
    } catch (const AppError&) {
        return;  // nothing listed, nothing removed
    }
    // The stamps sort as their times do; " (n)" comes after the set of the same second, by
    // its number: as text, " (10)" would sort before " (9)" and the newest set be removed.
    auto order = [](const std::wstring& name) {
        return std::make_pair(name.substr(0, std::wcslen(kStampPattern)), SecondsNumber(name));
    };
    std::sort(sets.begin(), sets.end(), [&](const std::wstring& a, const std::wstring& b) { return order(a) > order(b); });
    for (size_t i = keep; i < sets.size(); ++i) {
        std::wstring folder = root + L"\\" + sets[i];
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
