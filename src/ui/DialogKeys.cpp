#include "ui/DialogKeys.h"

#include <wchar.h>

#include <string>

namespace {

bool HasClass(HWND hwnd, const wchar_t* name) {
    wchar_t buffer[32] = {};
    GetClassNameW(hwnd, buffer, 32);
    return _wcsicmp(buffer, name) == 0;
}

LONG_PTR StyleOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

bool IsPushButton(HWND hwnd) {
    if (!HasClass(hwnd, L"Button"))
        return false;
    LONG_PTR type = StyleOf(hwnd) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

bool IsReadOnlyBox(HWND hwnd) { return HasClass(hwnd, L"Edit") && (StyleOf(hwnd) & ES_READONLY) != 0; }

bool TakesInput(HWND hwnd) {
    LONG_PTR style = StyleOf(hwnd);
    if ((style & WS_TABSTOP) == 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
        return false;
    return !IsPushButton(hwnd) && !IsReadOnlyBox(hwnd);
}

}  // namespace

bool PressFocusedButton(HWND window) {
    HWND focus = GetFocus();
    if (!focus || !IsChild(window, focus) || !IsPushButton(focus) || !IsWindowEnabled(focus))
        return false;
    SendMessageW(focus, BM_CLICK, 0, 0);
    return true;
}

HWND FirstInput(HWND container) {
    for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TakesInput(child))
            return child;
    }
    return nullptr;
}

void MarkDefaultButton(HWND button, bool isDefault) {
    SendMessageW(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void FocusIfActive(HWND control) {
    if (control && GetActiveWindow() == GetAncestor(control, GA_ROOT))
        SetFocus(control);
}
