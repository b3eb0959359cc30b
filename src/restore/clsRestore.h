#pragma once
// The restore engine's entry: called by the restore wizard once the marker file has
// passed its checks; copies the backup set back and moves the wizard to the finish.

#include <string>

#include "backup/JobWizard.h"

class clsRestore {
public:
    // wizard: the restore wizard; setFolder: where the chosen set's data lies.
    clsRestore(JobWizard& wizard, std::wstring setFolder) : wizard_(wizard), setFolder_(std::move(setFolder)) {}

    void Restore();

private:
    JobWizard& wizard_;
    std::wstring setFolder_;
};
