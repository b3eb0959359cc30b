#include "files/TreeCompare.h"

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "files/DirSearch.h"
#include "files/ExistingFolder.h"

namespace {

const DWORD kEverything = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// File names compare without regard to case, as the file system does.
std::wstring FoldCase(std::wstring name) {
    if (!name.empty())
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

std::vector<DirEntry> ListFolder(const std::wstring& folder) {
    std::vector<DirEntry> entries;
    DirSearch search(folder + L"\\", kEverything);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsDotEntry())
            entries.push_back(std::move(entry));
    }
    return entries;
}

bool Matches(const DirEntry& original, const DirEntry& copied) {
    if (original.IsFolder())
        return copied.IsFolder();
    return !copied.IsFolder() && copied.size == original.size;
}

// Both folders exist; compares their contents, depth first.
std::wstring FirstDifferenceBelow(const std::wstring& source, const std::wstring& copy) {
    std::unordered_map<std::wstring, DirEntry> copied;
    for (DirEntry& entry : ListFolder(copy))
        copied.emplace(FoldCase(entry.name), std::move(entry));

    std::vector<DirEntry> originals = ListFolder(source);
    for (const DirEntry& original : originals) {
        auto found = copied.find(FoldCase(original.name));
        if (found == copied.end() || !Matches(original, found->second))
            return source + L"\\" + original.name;
    }
    for (const DirEntry& original : originals) {
        // A link to a folder may lead back up the tree: its presence is checked above.
        if (!original.IsFolder() || (original.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::wstring difference =
            FirstDifferenceBelow(source + L"\\" + original.name, copy + L"\\" + original.name);
        if (!difference.empty())
            return difference;
    }
    return {};
}

}  // namespace

std::wstring FirstDifference(const std::wstring& source, const std::wstring& copy) {
    if (!IsExistingFolder(copy))
        return source;
    return FirstDifferenceBelow(source, copy);
}
