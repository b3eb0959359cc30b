#include "app/Module1.h"

#include <windows.h>

#include "app/frmMain.h"
#include "backup/clsTrnwck.h"
#include "runtime/DoEvents.h"

void Main() {
    DoEvents();
    DoEvents();
    // A job that was killed is put right before the menu can start another one.
    clsTrnwck::PutRightInterruptedJob();
    frmMain::Instance().Show();
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top && IsDialogMessageW(top, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
