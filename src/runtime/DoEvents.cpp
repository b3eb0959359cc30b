#include "runtime/DoEvents.h"

#include <windows.h>

namespace {

long g_yields = 0;

YieldHook& Hook() {
    static YieldHook hook;
    return hook;
}

}  // namespace

void DoEvents() {
    ++g_yields;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the message loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top && IsDialogMessageW(top, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (Hook())
        Hook()();
}

void YieldThreeTimes() {
    DoEvents();
    DoEvents();
    DoEvents();
}

long YieldCount() { return g_yields; }

YieldHook SetYieldHook(YieldHook hook) {
    YieldHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
