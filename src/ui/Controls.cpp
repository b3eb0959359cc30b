#include "ui/Controls.h"

#include <cmath>

#include "runtime/AppError.h"

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HFONT FontSet::Get(const FontSpec& font) {
    int height = -static_cast<int>(std::lround(font.points * dpi_ / 72.0));
    auto key = std::make_tuple(std::wstring(font.face), height, font.bold, font.underline);
    auto found = fonts_.find(key);
    if (found != fonts_.end())
        return static_cast<HFONT>(found->second.Get());
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(lf.lfFaceName, font.face, _TRUNCATE);
    HFONT created = CreateFontIndirectW(&lf);
    if (!created)
        ThrowLastError(L"CreateFontIndirect");
    fonts_.emplace(key, GdiObject(created));
    return created;
}

HWND CreateControl(const ControlArgs& args, int dpi, HFONT font) {
    HWND hwnd = CreateWindowExW(args.exStyle, args.className, args.text.c_str(), WS_CHILD | WS_VISIBLE | args.style,
                                TwipsToPixels(args.rect.left, dpi), TwipsToPixels(args.rect.top, dpi),
                                TwipsToPixels(args.rect.width, dpi), TwipsToPixels(args.rect.height, dpi), args.parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), GetModuleHandleW(nullptr),
                                nullptr);
    if (!hwnd)
        ThrowLastError(std::wstring(L"CreateWindowEx ") + args.className);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

void PlaceControl(HWND control, const TwipsRect& rect) {
    int dpi = ScreenDpi();
    SetWindowPos(control, nullptr, TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
                 TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring GetText(HWND control) {
    int len = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int copied = GetWindowTextW(control, text.data(), len + 1);
    text.resize(static_cast<size_t>(copied));
    return text;
}

void SetText(HWND control, const std::wstring& text) { SetWindowTextW(control, text.c_str()); }

void SetEnabled(HWND control, bool enabled) { EnableWindow(control, enabled ? TRUE : FALSE); }

bool IsEnabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

bool IsBold(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!font || !GetObjectW(font, sizeof(lf), &lf))
        return false;
    return lf.lfWeight >= FW_BOLD;
}

namespace {

// The text drawn in the control's font, with the flags, measured.
RECT MeasureText(HWND control, const std::wstring& text, int width, UINT flags) {
    RECT rect{0, 0, width, 0};
    HDC dc = GetDC(control);
    if (!dc)
        return rect;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX | flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return rect;
}

}  // namespace

int TextWidth(HWND control, const std::wstring& text) { return MeasureText(control, text, 0, DT_SINGLELINE).right; }

int WrappedTextHeight(HWND control, const std::wstring& text, int width) {
    return MeasureText(control, text, width, DT_WORDBREAK).bottom;
}
