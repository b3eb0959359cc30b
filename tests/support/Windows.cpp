#include "Windows.h"

#include <ostream>

#include "app/frmMain.h"
#include "backup/frmBackup.h"
#include "restore/frmRestore.h"
#include "ui/Controls.h"
#include "ui/WizardFrame.h"

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
