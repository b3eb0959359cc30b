#include "runtime/MsgBox.h"

#include <windows.h>

#include "runtime/Texts.h"

namespace {

MsgBoxHook& Hook() {
    static MsgBoxHook hook;
    return hook;
}

UINT StyleOf(const MsgBoxCall& call) {
    UINT style = call.buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    if (call.icon == MsgIcon::Exclamation)
        style |= MB_ICONEXCLAMATION;
    else if (call.icon == MsgIcon::Critical)
        style |= MB_ICONERROR;
    return style | MB_SETFOREGROUND;
}

MsgResult ShowReal(const MsgBoxCall& call) {
    // Owned by the active window of this thread, so it stays on top of the wizard.
    HWND owner = GetActiveWindow();
    int answer = MessageBoxW(owner, call.text.c_str(), call.title.c_str(), StyleOf(call));
    if (answer == IDYES)
        return MsgResult::Yes;
    if (answer == IDNO)
        return MsgResult::No;
    return MsgResult::Ok;
}

}  // namespace

MsgResult MsgBox(const std::wstring& text, MsgButtons buttons, MsgIcon icon, const std::wstring& title) {
    MsgBoxCall call{text, title.empty() ? std::wstring(texts::AppTitle) : title, buttons, icon};
    if (Hook())
        return Hook()(call);
    return ShowReal(call);
}

MsgBoxHook SetMsgBoxHook(MsgBoxHook hook) {
    MsgBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
