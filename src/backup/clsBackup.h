#pragma once
// The backup engine's entry: called by the backup wizard after every advance, it acts
// on the steps that copy (3), follow the copy (4) and finish (5).


#include <string>

#include "registry/clsRegistry.h"

class clsBackup {
public:
    void Backup();

    // Starts the registry editor exporting a registry branch to a file; returns at once.
    void RegBackup(const std::wstring& strRegfile, const std::wstring& strReg);
    // The registered current version of the word processor's document type, or empty.
    RegistryValue GetDefaultWP();

private:
    static void WriteMarker();
};
