#include "files/DiskSpace.h"

#include <windows.h>

#include "files/ExistingFolder.h"
#include "files/FileOps.h"

bool SpaceOf(const std::wstring& folder, VolumeSpace& space) {
    std::wstring existing = ShownPath(LongPath(folder));
    while (!existing.empty() && !IsExistingFolder(existing)) {
        size_t cut = existing.find_last_of(L'\\');
        if (cut == std::wstring::npos)
            return false;
        existing.resize(cut);
    }
    wchar_t volume[MAX_PATH + 1] = L"";
    ULARGE_INTEGER available{};
    if (!GetVolumePathNameW((existing + L"\\").c_str(), volume, MAX_PATH) ||
        !GetDiskFreeSpaceExW(volume, &available, nullptr, nullptr))
        return false;
    space.volume = volume;
    while (space.volume.size() > 2 && space.volume.back() == L'\\')
        space.volume.pop_back();
    space.free = available.QuadPart;
    return true;
}
