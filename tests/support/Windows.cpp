#include "Windows.h"

#include <ostream>

#include "app/frmMain.h"
#include "backup/frmBackup.h"
#include "restore/frmRestore.h"
#include "ui/Controls.h"
#include "ui/WizardFrame.h"
#include "runtime/DoEvents.h"

void UnloadAllWindows() {
    frmBackup::Unload();
    frmRestore::Unload();
    frmMain::Unload();
}

ButtonStates StatesOf(const WizardFrame& wizard) {
    return {IsEnabled(wizard.cmdBack()), IsEnabled(wizard.cmdCancel()), IsEnabled(wizard.cmdFinish()),
            IsEnabled(wizard.cmdNext())};
}

void PrintTo(const ButtonStates& s, std::ostream* os) {
    *os << "{back " << s.back << ", cancel " << s.cancel << ", finish " << s.finish << ", next " << s.next << "}";
}

void PostTwoClicksAndHandleThem(HWND button) {
    WPARAM click = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    for (int i = 0; i < 2; ++i)
        PostMessageW(GetParent(button), WM_COMMAND, click, reinterpret_cast<LPARAM>(button));
    DoEvents();
}

bool IsSetToShow(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }
