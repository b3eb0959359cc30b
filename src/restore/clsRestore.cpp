#include "restore/clsRestore.h"

#include "backup/clsTrnwck.h"
#include "runtime/DoEvents.h"

void clsRestore::Restore() {
    WizardFrame& frame = wizard_.Frame();
    frame.cmdNext_Click();
    clsTrnwck().RestoreTrnwck(wizard_, setFolder_, choice_);
    // The wizard is on its last step by now; this shows the finish panel once more.
    frame.cmdNext_Click();
    YieldThreeTimes();
}
