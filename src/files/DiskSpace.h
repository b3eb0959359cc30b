#pragma once
// The room on a volume, for a job that checks before it writes.

#include <cstdint>
#include <string>

struct VolumeSpace {
    std::wstring volume;     // as a person names it: "C:", or "\\server\share"
    std::uint64_t free = 0;  // bytes the calling user may still write there
};

// The volume that folder (or the nearest folder above it that exists) lies on; false
// when the platform cannot tell.
bool SpaceOf(const std::wstring& folder, VolumeSpace& space);
