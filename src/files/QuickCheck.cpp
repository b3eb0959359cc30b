#include "files/QuickCheck.h"

#include <windows.h>

#include "files/DirSearch.h"
#include "files/FullPath.h"

namespace {

// FAT keeps last-write times in steps of 2 seconds: a copy onto a stick may round so far.
const std::uint64_t kFatWindow = 2ULL * 10'000'000ULL;

}  // namespace

bool IsOnFatVolume(const std::wstring& path) {
    std::wstring full = FullPath(path);
    if (full.empty())
        return false;
    wchar_t volume[MAX_PATH + 1] = L"";
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    if (!GetVolumePathNameW(full.c_str(), volume, MAX_PATH + 1) ||
        !GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1))
        return false;
    for (const wchar_t* fat : {L"FAT", L"FAT12", L"FAT16", L"FAT32", L"exFAT", L"vfat"}) {
        if (CompareStringOrdinal(fileSystem, -1, fat, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

QuickCheck::QuickCheck(std::initializer_list<std::wstring> folders) {
    for (const std::wstring& folder : folders) {
        if (!folder.empty() && IsOnFatVolume(folder))
            window_ = kFatWindow;
    }
}

bool QuickCheck::Same(const DirEntry& a, const DirEntry& b) const {
    if (a.IsFolder() || b.IsFolder() || a.size != b.size)
        return false;
    std::uint64_t apart = a.lastWrite > b.lastWrite ? a.lastWrite - b.lastWrite : b.lastWrite - a.lastWrite;
    return apart <= window_;
}
