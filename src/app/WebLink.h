#pragma once
// The main menu's web link: finds the browser as the program associated with a
// temporary .HTM file and hands it the game's web page, started as the signed-in user
// where the desktop's shell can do that.

#include <windows.h>

inline constexpr wchar_t TempHtmPath[] = L"C:\\temphtm.HTM";

// Writes the temporary file, starts the browser, reports a failure in a message box,
// and removes the temporary file again on every path.
void OpenProductPage(HWND owner);
