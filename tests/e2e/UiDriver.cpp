#include "UiDriver.h"

#include "E2eError.h"

namespace {

constexpr DWORD kMessageTimeoutMs = 5000;

struct TopEnum {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<TopEnum*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == state->pid && IsWindowVisible(window))
        state->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

bool Matches(HWND window, const std::wstring& className, const std::optional<std::wstring>& text) {
    if (!className.empty() && !SameText(ClassOf(window), className))
        return false;
    return !text || TextOf(window) == *text;
}

std::wstring Describe(HWND window) {
    wchar_t handle[32];
    wsprintfW(handle, L"%p", static_cast<void*>(window));
    std::wstring line = std::wstring(handle) + L" " + ClassOf(window) + L" id=" +
                        std::to_wstring(GetDlgCtrlID(window)) + L" \"" + TextOf(window) + L"\"";
    if (SameText(ClassOf(window), L"Edit"))
        line += L" holds \"" + EditText(window) + L"\"";
    if (!IsWindowEnabled(window))
        line += L" (disabled)";
    return line;
}

}  // namespace

std::wstring ClassOf(HWND window) {
    wchar_t buffer[256];
    int len = GetClassNameW(window, buffer, 256);
    std::wstring name(buffer, len > 0 ? len : 0);
    size_t bang = name.rfind(L'!');
    return bang == std::wstring::npos ? name : name.substr(bang + 1);
}

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024];
    int len = GetWindowTextW(window, buffer, 1024);
    return std::wstring(buffer, len > 0 ? len : 0);
}

std::wstring EditText(HWND edit) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &len))
        return {};
    std::wstring text(len + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(edit, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &copied))
        return {};
    text.resize(copied);
    return text;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

std::vector<HWND> TopWindows(DWORD pid) {
    TopEnum state{pid, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FindTopWindow(DWORD pid, const WindowPredicate& predicate) {
    for (HWND window : TopWindows(pid))
        if (predicate(window))
            return window;
    return nullptr;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindChild(HWND parent, const std::wstring& className, const std::optional<std::wstring>& text) {
    for (HWND child : Descendants(parent))
        if (Matches(child, className, text))
            return child;
    return nullptr;
}

HWND FindVisibleChild(HWND parent, const std::wstring& className, const std::optional<std::wstring>& text) {
    for (HWND child : Descendants(parent))
        if (IsWindowVisible(child) && Matches(child, className, text))
            return child;
    return nullptr;
}

bool HasChildText(HWND parent, const std::wstring& text) { return FindVisibleChild(parent, L"", text) != nullptr; }

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(pollMs);
    }
}

void Click(HWND button) {
    std::wstring name = L"\"" + TextOf(button) + L"\"";
    if (!IsWindowVisible(button))
        throw E2eError(L"the button " + name + L" is not visible, so it cannot be clicked");
    if (!IsWindowEnabled(button))
        throw E2eError(L"the button " + name + L" is disabled, so it cannot be clicked");
    WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    if (!PostMessageW(GetParent(button), WM_COMMAND, command, reinterpret_cast<LPARAM>(button)))
        throw E2eError(L"clicking " + name + L" failed");
}

void ClickTwiceAtOnce(HWND button) {
    Click(button);
    WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
    if (!PostMessageW(GetParent(button), WM_COMMAND, command, reinterpret_cast<LPARAM>(button)))
        throw E2eError(L"the second click on \"" + TextOf(button) + L"\" failed");
}

void ClickRadio(HWND radio) {
    if (!IsWindowVisible(radio) || !IsWindowEnabled(radio))
        throw E2eError(L"the option \"" + TextOf(radio) + L"\" cannot be clicked");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(radio, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result))
        throw E2eError(L"the option \"" + TextOf(radio) + L"\" did not take the click");
}

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &state))
        throw E2eError(L"the option \"" + TextOf(button) + L"\" does not answer");
    return state == BST_CHECKED;
}

void SetText(HWND edit, const std::wstring& text) {
    if (!IsWindowVisible(edit) || !IsWindowEnabled(edit))
        throw E2eError(L"the text box cannot be typed into");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &result))
        throw E2eError(L"the text box did not take the text \"" + text + L"\"");
}

namespace {

INPUT KeyInput(WORD key, wchar_t unicode, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = unicode;
    input.ki.dwFlags = (unicode ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return input;
}

void Send(std::vector<INPUT> inputs) {
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        throw E2eError(L"SendInput took " + std::to_wstring(sent) + L" of " + std::to_wstring(inputs.size()) +
                       L" key events");
}

}  // namespace

void PressKey(WORD key, bool withAlt) {
    std::vector<INPUT> inputs;
    if (withAlt)
        inputs.push_back(KeyInput(VK_MENU, 0, false));
    inputs.push_back(KeyInput(key, 0, false));
    inputs.push_back(KeyInput(key, 0, true));
    if (withAlt)
        inputs.push_back(KeyInput(VK_MENU, 0, true));
    Send(inputs);
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        inputs.push_back(KeyInput(0, c, false));
        inputs.push_back(KeyInput(0, c, true));
    }
    Send(inputs);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

bool IsMessageBox(HWND window) {
    if (ClassOf(window) != L"#32770")
        return false;
    HWND text = GetDlgItem(window, 0xFFFF);
    return text && SameText(ClassOf(text), L"Static");
}

HWND FindMessageBox(DWORD pid) { return FindTopWindow(pid, IsMessageBox); }

std::wstring MessageBoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

void PressDialogButton(HWND dialog, int buttonId) {
    // Not GetDlgItem: other children may share the id (the open-file dialog's toolbar has id 1).
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == buttonId && SameText(ClassOf(child), L"Button")) {
            Click(child);
            return;
        }
    }
    throw E2eError(L"the dialog \"" + TextOf(dialog) + L"\" has no button " + std::to_wstring(buttonId));
}

void Settle(HWND window, DWORD paintMs) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
    Sleep(paintMs);
}

std::wstring DescribeWindows(DWORD pid) {
    std::wstring report;
    for (HWND top : TopWindows(pid)) {
        report += Describe(top) + L"\n";
        for (HWND child : Descendants(top)) {
            if (!IsWindowVisible(child))
                continue;
            std::wstring indent = L"    ";
            for (HWND up = GetParent(child); up && up != top; up = GetParent(up))
                indent += L"    ";
            report += indent + Describe(child) + L"\n";
        }
    }
    return report.empty() ? L"(no visible windows)\n" : report;
}
