#pragma once
// "Choose what to restore": a list of the files a restore would replace or add, each with
// a check box, all ticked at first; "Select all", "Clear all", OK and Cancel. The list is
// a standard report-view list, so the keyboard works as in any: Space ticks the row,
// Enter is OK, Escape is Cancel.

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "engine/jobs/RestoreChange.h"

// The ticks, a row each in the order of changes; nothing when the player cancelled.
std::optional<std::vector<bool>> ChooseFilesToRestore(HWND owner, const std::vector<RestoreChange>& changes);

// Tests tick rows in the player's place. An empty function restores the real window.
using ChooseFilesHook = std::function<std::optional<std::vector<bool>>(const std::vector<RestoreChange>&)>;
ChooseFilesHook SetChooseFilesHook(ChooseFilesHook hook);
