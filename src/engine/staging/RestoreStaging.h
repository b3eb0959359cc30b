#pragma once
// Where a restore stages what it copies and keeps what that replaces: the trees it
// changes, the game folder and then Windows' per-user copy of it where there is one, each
// with its staging folder beside it ("<tree> (restore being copied)") and its part of the
// safety set. The restore, the recovery of a killed one and the check of its rights all
// take them from here.

#include <string>
#include <vector>

#include "engine/staging/StagedSwap.h"
#include "files/FileOps.h"

// The folder in a set that holds the per-user copy's layer.
std::wstring PerUserLayer(const std::wstring& setFolder);

std::vector<SwapLayer> RestoreLayers(const std::wstring& gameFolder, const std::wstring& perUserCopy,
                                     const std::wstring& safetySet);

// The staging folders go (after a swap ran to its end, or before one started), the first
// layer's renamed "<tree> (restore being removed)" on the disk before anything in it goes,
// so that a removal cut short is never replayed as a swap; the first that could not go is
// the result.
FileResult RemoveRestoreStaging(const std::vector<SwapLayer>& layers);
