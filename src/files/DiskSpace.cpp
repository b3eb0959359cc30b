#include "files/DiskSpace.h"

#include <windows.h>

#include "files/FileOps.h"

bool SpaceOf(const std::wstring& folder, VolumeSpace& space) {
    const std::wstring existing = NearestExistingFolder(folder);
    if (existing.empty())
        return false;
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
