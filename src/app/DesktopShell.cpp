#include "app/DesktopShell.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "runtime/Com.h"

namespace {

// The desktop's folder view, which belongs to the shell's own process.
ComPtr<IShellFolderViewDual> DesktopFolderView() {
    ComPtr<IShellFolderViewDual> none;
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(windows.Receive()))))
        return none;
    VARIANT desktop{};
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT empty{};
    long hwnd = 0;
    ComPtr<IDispatch> found;
    if (windows->FindWindowSW(&desktop, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, found.Receive()) != S_OK ||
        !found)
        return none;
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(found->QueryInterface(IID_PPV_ARGS(services.Receive()))) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.Receive()))) ||
        FAILED(browser->QueryActiveShellView(view.Receive())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.Receive()))) ||
        FAILED(background->QueryInterface(IID_PPV_ARGS(folderView.Receive()))))
        return none;
    return folderView;
}

VARIANT TextVariant(const Bstr& text) {
    VARIANT v{};
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    return v;
}

}  // namespace

bool ShellExecuteFromDesktop(const std::wstring& file, const std::wstring& parameters) {
    ComInit com;
    if (!com.Ok())
        return false;
    ComPtr<IShellFolderViewDual> folderView = DesktopFolderView();
    if (!folderView)
        return false;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(folderView->get_Application(application.Receive())) || !application ||
        FAILED(application->QueryInterface(IID_PPV_ARGS(shell.Receive()))))
        return false;
    Bstr fileText(file);
    Bstr parametersText(parameters);
    Bstr verb(L"open");
    VARIANT none{};
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return SUCCEEDED(shell->ShellExecute(fileText.Get(), TextVariant(parametersText), none, TextVariant(verb), show));
}
