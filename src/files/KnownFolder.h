#pragma once
// The user's standard folders (documents, local application data) where this machine
// keeps them.

#include <windows.h>
#include <shlobj.h>

#include <string>

// The folder's path, or "" when the platform does not know it.
std::wstring KnownFolderPath(REFKNOWNFOLDERID id);
