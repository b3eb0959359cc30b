#pragma once
// The directory search with an attribute mask, as the file services use it: a pattern
// (a path whose last part may hold "*" and "?") and a mask of the attribute bits that
// may appear in an admitted entry. Plain files (also read-only or archive ones) are
// always admitted; folders, hidden and system entries only when their bit
// (FILE_ATTRIBUTE_DIRECTORY, _HIDDEN, _SYSTEM) is in the mask.
//
// Every search owns its own cursor, so one search never disturbs another one that is
// still running (the scan lists a folder while its caller lists the parent).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Handles.h"

struct DirEntry {
    std::wstring name;  // the name part alone, as stored on disk
    DWORD attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // 100-ns intervals since 1601 (UTC)

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDotEntry() const { return name == L"." || name == L".."; }
};

class DirSearch {
public:
    // A pattern that ends in "\" or ":" names a folder and lists everything in it.
    // A pattern that matches nothing, or whose folder is missing, gives an empty search.
    // Any other platform failure raises an AppError.
    DirSearch(const std::wstring& pattern, DWORD mask);

    // The next admitted entry, in the platform's order; false when there is none left.
    // A failure while reading on raises an AppError.
    bool Next(DirEntry& entry);

    // Every entry of the folder, hidden, system and sub-folders too, but "." and "..".
    static std::vector<DirEntry> Everything(const std::wstring& folder);

    // The entry at path (long form) as a listing gives it; nothing where there is none.
    static std::optional<DirEntry> EntryAt(const std::wstring& path);

    // The name part of the first admitted entry, or an empty text.
    static std::wstring FirstName(const std::wstring& pattern, DWORD mask);

private:
    bool Admits(DWORD attributes) const;
    bool Advance();

    FindHandle handle_;
    WIN32_FIND_DATAW data_{};
    bool pending_ = false;  // data_ holds an entry not yet looked at
    DWORD mask_;
};
