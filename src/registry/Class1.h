#pragma once
// Registry export and import through the system's registry editor, for any caller.

#include <string>

class Class1 {
public:
    // Starts the export of the registry branch strReg (full root name first) into the file
    // strFileLocation, and returns before the editor has written it.
    void RegBackup(const std::wstring& strFileLocation, const std::wstring& strReg);

    // Starts the import of strFile into the registry, and returns at once.
    void RegRestore(const std::wstring& strFile);
};
