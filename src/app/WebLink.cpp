#include "app/WebLink.h"

#include <shellapi.h>

#include <string>

#include "app/DesktopShell.h"
#include "runtime/Handles.h"
#include "runtime/MsgBox.h"
#include "runtime/Texts.h"

namespace {

bool WriteTempHtm() {
    FileHandle file(CreateFileW(TempHtmPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    static const char line[] = "\"<HTML> <\\HTML>\"\r\n";
    DWORD written = 0;
    return WriteFile(file.Get(), line, sizeof(line) - 1, &written, nullptr) && written == sizeof(line) - 1;
}

}  // namespace

void OpenProductPage(HWND owner) {
    // The temporary file goes when the link's work is over, however it ended.
    ScopeExit removeTempHtm([] { DeleteFileW(TempHtmPath); });
    if (!WriteTempHtm()) {
        MsgBox(texts::TempFileNotWritten, MsgButtons::Ok, MsgIcon::Exclamation, texts::WebPageNotOpenedTitle);
        return;
    }
    // The platform asks for room for a full path.
    wchar_t browser[MAX_PATH] = {};
    auto found = reinterpret_cast<INT_PTR>(FindExecutableW(TempHtmPath, nullptr, browser));
    if (found <= 32) {
        MsgBox(texts::BrowserNotFound, MsgButtons::Ok, MsgIcon::Exclamation, texts::BrowserNotFoundTitle);
        return;
    }
    // The desktop's shell does not say whether the browser started: a browser that is
    // not there is told here, as the program's own start would tell it.
    if (GetFileAttributesW(browser) == INVALID_FILE_ATTRIBUTES) {
        MsgBox(texts::WebPageNotOpened, MsgButtons::Ok, MsgIcon::Exclamation, texts::WebPageNotOpenedTitle);
        return;
    }
    // Never elevated, should the program be: the desktop's shell starts the browser as the user.
    if (ShellExecuteFromDesktop(browser, texts::GamePageUrl))
        return;
    auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", browser, texts::GamePageUrl, nullptr, SW_SHOWNORMAL));
    if (started <= 32)
        MsgBox(texts::WebPageNotOpened, MsgButtons::Ok, MsgIcon::Exclamation, texts::WebPageNotOpenedTitle);
}
