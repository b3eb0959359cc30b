#include "files/FullPath.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The one spelling of a path for comparisons: full, with long names where they exist,
// "\" as separator and no separator at the end.
std::wstring ComparableForm(const std::wstring& path) {
    std::wstring full = FullPath(path);
    if (full.empty())
        return full;
    DWORD needed = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring longForm(needed, L'\0');
        DWORD written = GetLongPathNameW(full.c_str(), longForm.data(), needed);
        if (written > 0 && written < needed) {
            longForm.resize(written);
            full = longForm;
        }
    }
    for (wchar_t& c : full)
        if (c == L'/')
            c = L'\\';
    // "\\?\C:\x" is C:\x spelt for the long-path functions.
    if (full.starts_with(L"\\\\?\\") && full.size() > 6 && full[5] == L':')
        full.erase(0, 4);
    bool driveRoot = full.size() == 3 && full[1] == L':';
    while (full.size() > 1 && full.back() == L'\\' && !driveRoot) {
        full.pop_back();
        driveRoot = full.size() == 3 && full[1] == L':';
    }
    return full;
}

// Compared as the file system compares names: without regard to case.
bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

bool IsFullPath(const std::wstring& path) {
    bool driveRoot = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && IsSeparator(path[2]);
    bool network = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    return driveRoot || network;
}

std::wstring FullPath(const std::wstring& path) {
    if (path.empty())
        return path;
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return std::wstring();
    full.resize(written);
    return full;
}

bool IsSameOrInsideFolder(const std::wstring& path, const std::wstring& folder) {
    std::wstring candidate = ComparableForm(path);
    std::wstring root = ComparableForm(folder);
    if (candidate.empty() || root.empty())
        return false;
    if (candidate.size() == root.size())
        return SameText(candidate, root);
    std::wstring prefix = root.back() == L'\\' ? root : root + L'\\';
    return candidate.size() > prefix.size() && SameText(candidate.substr(0, prefix.size()), prefix);
}
