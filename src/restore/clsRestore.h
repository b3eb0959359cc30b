#pragma once
// The restore engine's entry: called by the restore wizard once the marker file has
// passed its checks; copies the backup set back and moves the wizard to the finish.

#include <string>

#include "backup/JobWizard.h"
#include "engine/jobs/RestoreChoice.h"

class clsRestore {
public:
    // wizard: the restore wizard; setFolder: where the chosen set's data lies; choice: what
    // of it the player chose (everything, unless narrowed).
    clsRestore(JobWizard& wizard, std::wstring setFolder, RestoreChoice choice = {})
        : wizard_(wizard), setFolder_(std::move(setFolder)), choice_(std::move(choice)) {}

    void Restore();

private:
    JobWizard& wizard_;
    std::wstring setFolder_;
    RestoreChoice choice_;
};
