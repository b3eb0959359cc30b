#include "files/DirSearch.h"

#include "runtime/AppError.h"

namespace {

const wchar_t kSource[] = L"DirSearch";

bool EndsInSeparator(const std::wstring& pattern) {
    return !pattern.empty() && (pattern.back() == L'\\' || pattern.back() == L'/' || pattern.back() == L':');
}

// Codes that mean "nothing matches" rather than a failure of the search.
bool IsNoMatch(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_NO_MORE_FILES;
}

}  // namespace

DirSearch::DirSearch(const std::wstring& pattern, DWORD mask) : mask_(mask) {
    if (pattern.empty())
        return;
    std::wstring query = EndsInSeparator(pattern) ? pattern + L"*" : pattern;
    // Basic information only: the short 8.3 names are never looked at.
    HANDLE h = FindFirstFileExW(query.c_str(), FindExInfoBasic, &data_, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (IsNoMatch(code))
            return;
        throw AppError::FromWin32(code, kSource);
    }
    handle_.Reset(h);
    pending_ = true;
}

bool DirSearch::Admits(DWORD attributes) const {
    const DWORD gated = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & gated & ~mask_) == 0;
}

bool DirSearch::Advance() {
    if (FindNextFileW(handle_.Get(), &data_))
        return true;
    DWORD code = GetLastError();
    handle_.Reset();
    if (code == ERROR_NO_MORE_FILES)
        return false;
    throw AppError::FromWin32(code, kSource);
}

bool DirSearch::Next(DirEntry& entry) {
    while (handle_) {
        if (!pending_ && !Advance())
            return false;
        pending_ = false;
        if (!Admits(data_.dwFileAttributes))
            continue;
        entry.name = data_.cFileName;
        entry.attributes = data_.dwFileAttributes;
        entry.size = (static_cast<std::uint64_t>(data_.nFileSizeHigh) << 32) | data_.nFileSizeLow;
        entry.lastWrite = (static_cast<std::uint64_t>(data_.ftLastWriteTime.dwHighDateTime) << 32) |
                          data_.ftLastWriteTime.dwLowDateTime;
        return true;
    }
    return false;
}

std::vector<DirEntry> DirSearch::Everything(const std::wstring& folder) {
    std::vector<DirEntry> entries;
    DirSearch search(folder + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsDotEntry())
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::wstring DirSearch::FirstName(const std::wstring& pattern, DWORD mask) {
    DirSearch search(pattern, mask);
    DirEntry entry;
    return search.Next(entry) ? entry.name : std::wstring();
}

std::optional<DirEntry> DirSearch::EntryAt(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    DirEntry entry;
    entry.name = path.substr(path.find_last_of(L'\\') + 1);
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.lastWrite = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return entry;
}
