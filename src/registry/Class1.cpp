#include "registry/Class1.h"

#include "registry/RegistryEditor.h"

void Class1::RegBackup(const std::wstring& strFileLocation, const std::wstring& strReg) {
    StartRegistryExport(strFileLocation, strReg);
}

void Class1::RegRestore(const std::wstring& strFile) { StartRegistryImport(strFile); }
