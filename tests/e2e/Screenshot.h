#pragma once
// Pictures of what the user sees, taken from the screen.

#include <windows.h>

#include <string>
#include <vector>

// Copies the screen rectangle into a PNG file (throws E2eError on failure).
void Screenshot(const RECT& area, const std::wstring& pngPath);
// The rectangle around every visible top-level window of the process (message boxes and
// dialogs included), or an empty one when it shows none.
RECT ProcessWindowsArea(DWORD pid);

// Numbered screenshots of one run in one folder; does nothing without a folder.
class ScreenshotLog {
public:
    explicit ScreenshotLog(std::wstring folder);
    // Takes "NN-name.png" of the process's windows; returns the file, or "" when none was taken.
    std::wstring Take(DWORD pid, const std::wstring& name);
    const std::vector<std::wstring>& Files() const { return files_; }
    const std::wstring& Folder() const { return folder_; }

private:
    std::wstring folder_;
    int counter_ = 0;
    std::vector<std::wstring> files_;
};
