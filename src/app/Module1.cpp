#include "app/Module1.h"

#include <windows.h>

#include "app/frmMain.h"
#include "backup/clsTrnwck.h"
#include "restore/RestoreElevation.h"
#include "restore/frmRestore.h"
#include "runtime/DoEvents.h"

namespace {

// A job that was killed is put right before a window can start another one.
void Start() {
    DoEvents();
    DoEvents();
    if (clsTrnwck::PutRightInterruptedJob() == clsTrnwck::PutRight::NeedsRights)
        OfferRestartToPutRight(nullptr);
}

}  // namespace

void Main() {
    Start();
    frmMain::Instance().Show();
}

void MainRestore(const std::wstring& marker) {
    Start();
    frmRestore& wizard = frmRestore::Instance();
    wizard.Show();
    wizard.OpenOnMarker(marker);
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
