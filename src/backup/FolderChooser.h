#pragma once
// The system's folder browser: a modal choice of one folder, which the user may
// also create there.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

struct FolderChooserRequest {
    std::wstring title;          // the dialog's caption
    std::wstring prompt;         // the text above the folder tree
    std::wstring initialFolder;  // selected at the start when it exists
};

// The chosen folder's full path, or nothing when the user cancelled.
std::optional<std::wstring> ChooseFolder(HWND owner, const FolderChooserRequest& request);

// Tests answer in the user's place. An empty function restores the real dialog.
using FolderChooserHook = std::function<std::optional<std::wstring>(const FolderChooserRequest&)>;
FolderChooserHook SetFolderChooserHook(FolderChooserHook hook);
