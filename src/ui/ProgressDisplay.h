#pragma once
// A job's progress on a wizard's step panel, in the free room below the panel's text:
// a line saying what the job is doing with its counts, the file being copied, and a
// progress bar. Hidden until the first progress is shown. Updates that change nothing
// touch no control, so that showing progress ten times a second costs nothing visible.

#include <windows.h>

#include <string>

#include "ui/Controls.h"

class Panel;

struct ProgressView {
    std::wstring status;   // what the job is doing, with the counts
    std::wstring detail;   // the file being copied; "" for none
    int permille = -1;     // the bar, 0 to 1000; below 0 leaves it as it is
    std::wstring caption;  // what the step says it does, after what it copies; "" leaves it
};

class ProgressDisplay {
public:
    // Places the display on the panel within area (in twips); caption is the step's own
    // line saying what it does, nullptr for none.
    ProgressDisplay(Panel& panel, const TwipsRect& area, HWND caption = nullptr);

    void Show(const ProgressView& view);
    void Hide();

    HWND Status() const { return status_; }
    HWND Detail() const { return detail_; }
    HWND Bar() const { return bar_; }
    HWND Caption() const { return caption_; }

private:
    void SetVisible(bool visible);

    HWND status_ = nullptr;
    HWND detail_ = nullptr;
    HWND bar_ = nullptr;
    HWND caption_ = nullptr;
    ProgressView shown_;
    bool visible_ = false;
};
