#include "restore/MarkerFolderSetting.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <variant>

#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "files/KnownFolder.h"
#include "files/clsFileSystem.h"
#include "registry/clsRegistry.h"
#include "runtime/AppError.h"

std::wstring OpenDialogStartFolder() {
    RegistryValue stored = clsRegistry().GetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue);
    if (const auto* folder = std::get_if<std::wstring>(&stored); folder && IsExistingFolder(*folder))
        return *folder;
    return KnownFolderPath(FOLDERID_Documents);
}

void RememberMarkerFolder(const std::wstring& markerPath) {
    std::wstring full = FullPath(markerPath);
    if (full.empty())
        return;
    std::wstring folder = clsFileSystem().GetPath(full);
    try {
        clsRegistry registry;
        if (registry.CreateKey(HkeyCurrentUser, SettingsKey))
            registry.SetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue, folder);
    } catch (const AppError&) {
        // Read-only settings: the dialog starts in the documents folder next time.
    }
}
