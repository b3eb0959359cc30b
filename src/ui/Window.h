#pragma once
// Base of the program's own windows: registers the window class once, routes the
// window's messages to OnMessage of the C++ object that owns it.

#include <windows.h>

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const { return hwnd_; }

protected:
    struct CreateArgs {
        const wchar_t* className = nullptr;
        DWORD exStyle = 0;
        DWORD style = 0;
        const wchar_t* title = L"";
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
        HWND parent = nullptr;
        HICON icon = nullptr;
        HBRUSH background = nullptr;
    };
    // Creates the window; fails only when the system is out of resources.
    void CreateWindowObject(const CreateArgs& args);

    // One message; the default hands it to DefWindowProc.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};
