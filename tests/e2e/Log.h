#pragma once
// Progress lines of the driver on its standard output, in UTF-8.

#include <string>

void Log(const std::wstring& line);

// The system's description of a Win32 error code, for failure messages.
std::wstring Win32Message(unsigned long code);
