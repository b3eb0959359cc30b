#include "runtime/MousePointer.h"

#include <windows.h>

namespace {
MousePointer g_pointer = MousePointer::Default;
}

void SetMousePointer(MousePointer pointer) {
    g_pointer = pointer;
    if (pointer == MousePointer::Hourglass) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return;
    }
    // Let the window under the mouse choose its own cursor again.
    POINT pt;
    if (GetCursorPos(&pt))
        SetCursorPos(pt.x, pt.y);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

MousePointer CurrentMousePointer() { return g_pointer; }

bool ApplyMousePointer() {
    if (g_pointer != MousePointer::Hourglass)
        return false;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}
