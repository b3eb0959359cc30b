#include "ui/ProgressDisplay.h"

#include <commctrl.h>

#include "ui/Panel.h"

namespace {

constexpr int kBarRange = 1000;
constexpr int kLine = 255;

void LoadProgressBarClass() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

}  // namespace

ProgressDisplay::ProgressDisplay(Panel& panel, const TwipsRect& area, HWND caption) : caption_(caption) {
    LoadProgressBarClass();
    status_ = panel.AddControl({nullptr, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, {area.left, area.top, area.width, kLine}},
                               ArialFont);
    bar_ = panel.AddControl({nullptr, PROGRESS_CLASSW, L"", PBS_SMOOTH,
                             {area.left, area.top + 360, area.width, kLine}},
                            ArialFont);
    // A long path is shortened in its middle, so that the file's name stays in view.
    detail_ = panel.AddControl({nullptr, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS,
                                {area.left, area.top + 720, area.width, kLine}},
                               ArialFont);
    SendMessageW(bar_, PBM_SETRANGE32, 0, kBarRange);
    SetVisible(false);
}

void ProgressDisplay::SetVisible(bool visible) {
    visible_ = visible;
    for (HWND control : {status_, bar_, detail_})
        ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

void ProgressDisplay::Show(const ProgressView& view) {
    if (view.status != shown_.status)
        SetText(status_, view.status);
    if (view.detail != shown_.detail)
        SetText(detail_, view.detail);
    if (view.permille >= 0 && view.permille != shown_.permille) {
        SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(view.permille > kBarRange ? kBarRange : view.permille), 0);
        shown_.permille = view.permille;
    }
    if (caption_ && !view.caption.empty() && view.caption != shown_.caption) {
        SetText(caption_, view.caption);
        shown_.caption = view.caption;
    }
    shown_.status = view.status;
    shown_.detail = view.detail;
    if (!visible_)
        SetVisible(true);
}

void ProgressDisplay::Hide() {
    if (visible_)
        SetVisible(false);
}
