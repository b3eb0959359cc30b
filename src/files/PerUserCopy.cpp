#include "files/PerUserCopy.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "files/ExistingFolder.h"
#include "runtime/Handles.h"

namespace {

std::wstring LocalAppData() {
    TaskString path;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, path.Receive())) || !path)
        return std::wstring();
    return path.Get();
}

}  // namespace

std::wstring PerUserCopyPath(const std::wstring& folder) {
    // Only folders on a drive are redirected: "C:\Program Files\x" -> "...\VirtualStore\Program Files\x".
    if (folder.size() < 3 || folder[1] != L':' || folder[2] != L'\\')
        return std::wstring();
    std::wstring base = LocalAppData();
    if (base.empty())
        return base;
    return base + L"\\VirtualStore" + folder.substr(2);
}

std::wstring ExistingPerUserCopy(const std::wstring& folder) {
    std::wstring copy = PerUserCopyPath(folder);
    return IsExistingFolder(copy) ? copy : std::wstring();
}
