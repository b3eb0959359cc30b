#pragma once

#include <string>

// True when the path names a folder that exists (a file of that name is not one).
bool IsExistingFolder(const std::wstring& path);
