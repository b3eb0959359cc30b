#pragma once
// Pictures of what the user sees, taken from the screen.

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Copies the screen rectangle into a PNG file (throws E2eError on failure).
void Screenshot(const RECT& area, const std::wstring& pngPath);
// The rectangle around every visible top-level window of the process (message boxes and
// dialogs included), or an empty one when it shows none.
RECT ProcessWindowsArea(DWORD pid);

// The pixels of a screen rectangle, grabbed at once and written to a file later.
struct ScreenFrame {
    std::vector<BYTE> pixels;  // 24-bit BGR rows, top row first, each padded to four bytes
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::wstring path;
};

// Numbered screenshots of one run in one folder; does nothing without a folder. The screen is
// copied at once and the PNG written on a thread of its own, so that a shot costs the driver
// next to nothing while the program runs through steps that last milliseconds.
class ScreenshotLog {
public:
    explicit ScreenshotLog(std::wstring folder);
    ~ScreenshotLog();
    ScreenshotLog(const ScreenshotLog&) = delete;
    ScreenshotLog& operator=(const ScreenshotLog&) = delete;

    // Takes "NN-name.png" of the process's windows; returns the file, or "" when none was taken.
    std::wstring Take(DWORD pid, const std::wstring& name);
    // Waits until every shot taken is written.
    void Flush();
    const std::vector<std::wstring>& Files() const { return files_; }
    const std::wstring& Folder() const { return folder_; }

private:
    void RemoveEarlierShots();
    void WriteFrames();

    std::wstring folder_;
    int counter_ = 0;
    std::vector<std::wstring> files_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<ScreenFrame> pending_;
    bool writing_ = false;
    bool stopping_ = false;
    std::thread writer_;
};
