#include "restore/MarkerFolderSetting.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "files/KnownFolder.h"
#include "files/clsFileSystem.h"

std::wstring OpenDialogStartFolder() {
    std::wstring folder = ReadSetting(LastMarkerFolderValue);
    if (!folder.empty() && IsExistingFolder(folder))
        return folder;
    return KnownFolderPath(FOLDERID_Documents);
}

void RememberMarkerFolder(const std::wstring& markerPath) {
    std::wstring full = FullPath(markerPath);
    if (full.empty())
        return;
    WriteSetting(LastMarkerFolderValue, clsFileSystem().GetPath(full));
}
