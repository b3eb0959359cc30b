#include "files/PerUserCopy.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "files/ExistingFolder.h"
#include "files/KnownFolder.h"

std::wstring PerUserCopyPath(const std::wstring& folder) {
    // Only folders on a drive are redirected: "C:\Program Files\x" -> "...\VirtualStore\Program Files\x".
    if (folder.size() < 3 || folder[1] != L':' || folder[2] != L'\\')
        return std::wstring();
    std::wstring base = KnownFolderPath(FOLDERID_LocalAppData);
    if (base.empty())
        return base;
    return base + L"\\VirtualStore" + folder.substr(2);
}

std::wstring ExistingPerUserCopy(const std::wstring& folder) {
    std::wstring copy = PerUserCopyPath(folder);
    return IsExistingFolder(copy) ? copy : std::wstring();
}
