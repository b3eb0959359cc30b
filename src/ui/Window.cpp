#include "ui/Window.h"

#include "runtime/AppError.h"
#include "runtime/MousePointer.h"

namespace {

void RegisterClassOnce(const wchar_t* className, HICON icon, HBRUSH background, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, className, &existing))
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc))
        ThrowLastError(L"RegisterClassEx");
}

}  // namespace

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::CreateWindowObject(const CreateArgs& args) {
    RegisterClassOnce(args.className, args.icon, args.background, &Window::Proc);
    HWND hwnd = CreateWindowExW(args.exStyle, args.className, args.title, args.style, args.x, args.y, args.width,
                                args.height, args.parent, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd)
        ThrowLastError(std::wstring(L"CreateWindowEx ") + args.className);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETCURSOR && ApplyMousePointer())
        return TRUE;
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    LRESULT result = self->OnMessage(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}
