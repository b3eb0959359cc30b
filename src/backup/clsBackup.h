#pragma once
// The backup engine's entry: called by the backup wizard after every advance, it acts
// on the step that copies (3) and the one that follows the copy (4).

#include <string>

#include "backup/JobWizard.h"
#include "registry/clsRegistry.h"

class clsBackup {
public:
    clsBackup() = default;
    // wizard: the backup wizard; setFolder: the accepted backup folder.
    clsBackup(JobWizard& wizard, std::wstring setFolder) : wizard_(&wizard), setFolder_(std::move(setFolder)) {}

    void Backup();

    // Starts the registry editor exporting a registry branch to a file; returns at once.
    void RegBackup(const std::wstring& strRegfile, const std::wstring& strReg);
    // The registered current version of the word processor's document type, or empty.
    RegistryValue GetDefaultWP();

private:
    JobWizard* wizard_ = nullptr;
    std::wstring setFolder_;
};
