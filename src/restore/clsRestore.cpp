#include "restore/clsRestore.h"

#include "backup/clsTrnwck.h"
#include "restore/frmRestore.h"
#include "runtime/DoEvents.h"

void clsRestore::Restore() {
    frmRestore& wizard = frmRestore::Instance();
    wizard.cmdNext_Click();
    clsTrnwck().RestoreTrnwck();
    // The wizard is on its last step by now; this shows the finish panel once more.
    wizard.cmdNext_Click();
    DoEvents();
    DoEvents();
    DoEvents();
}
