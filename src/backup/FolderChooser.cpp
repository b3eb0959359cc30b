#include "backup/FolderChooser.h"

#include <shlobj.h>

#include "files/ExistingFolder.h"
#include "runtime/Com.h"
#include "runtime/Handles.h"

namespace {

FolderChooserHook& Hook() {
    static FolderChooserHook hook;
    return hook;
}

struct CallbackData {
    const FolderChooserRequest* request;
};

int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM, LPARAM data) {
    if (msg != BFFM_INITIALIZED)
        return 0;
    const auto* request = reinterpret_cast<const CallbackData*>(data)->request;
    SetWindowTextW(dialog, request->title.c_str());
    if (IsExistingFolder(request->initialFolder))
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(request->initialFolder.c_str()));
    return 0;
}

std::optional<std::wstring> ShowBrowser(HWND owner, const FolderChooserRequest& request) {
    ComInit com;  // the new dialog style needs COM on this thread
    CallbackData data{&request};
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = request.prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_VALIDATE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&data);
    ItemIdList chosen(SHBrowseForFolderW(&info));
    if (!chosen.Get())
        return std::nullopt;
    // Long paths: the browser's item may name a folder deeper than MAX_PATH.
    std::wstring path(32768, L'\0');
    if (!SHGetPathFromIDListEx(chosen.Get(), path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
        return std::nullopt;
    path.resize(wcslen(path.c_str()));
    return path;
}

}  // namespace

std::optional<std::wstring> ChooseFolder(HWND owner, const FolderChooserRequest& request) {
    if (Hook())
        return Hook()(request);
    return ShowBrowser(owner, request);
}

FolderChooserHook SetFolderChooserHook(FolderChooserHook hook) {
    FolderChooserHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
