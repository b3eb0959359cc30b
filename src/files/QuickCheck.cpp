#include "files/QuickCheck.h"

#include <windows.h>

#include "files/DirSearch.h"
#include "files/FileOps.h"
#include "runtime/Handles.h"

namespace {

// FAT keeps last-write times in steps of 2 seconds: a copy onto a stick may round so far.
const std::uint64_t kFatWindow = 2ULL * 10'000'000ULL;

}  // namespace

bool IsOnFatVolume(const std::wstring& path) {
    // The folder itself, or the nearest one above it that exists (a set folder not made
    // yet lies on its parent's volume). Asked by handle: Wine answers a query by drive
    // root with a warning on the console for its root drive.
    std::wstring folder = LongPath(path);
    FileHandle handle;
    while (!handle) {
        handle.Reset(CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        size_t cut = folder.find_last_of(L'\\');
        if (handle || cut == std::wstring::npos || cut <= 6)
            break;
        folder.resize(cut);
    }
    wchar_t fileSystem[MAX_PATH + 1] = L"";
    if (!handle ||
        !GetVolumeInformationByHandleW(handle.Get(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1))
        return false;
    for (const wchar_t* fat : {L"FAT", L"FAT12", L"FAT16", L"FAT32", L"exFAT"}) {
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
