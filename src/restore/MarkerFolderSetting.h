#pragma once
// Where the open-file dialog of the restore wizard starts: in the folder of the marker
// accepted last, which the current user's settings keep for the next start, else in the
// user's documents.

#include <string>

#include "registry/ProgramSettings.h"

// The program's setting (see ProgramSettings.h) that keeps it: text, a full folder path.
inline constexpr wchar_t LastMarkerFolderValue[] = L"LastMarkerFolder";

// The remembered folder while it still exists, otherwise the user's documents folder
// ("" when the platform names none).
std::wstring OpenDialogStartFolder();

// Keeps the full path of the folder that holds markerPath. A setting that cannot be
// written is not worth a message: the dialog then starts as before.
void RememberMarkerFolder(const std::wstring& markerPath);
