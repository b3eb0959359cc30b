#include "ui/Panel.h"

#include "runtime/AppError.h"

Panel::Panel(HWND parent, const TwipsRect& rect, COLORREF background, int dpi, FontSet& fonts)
    : background_(background), brush_(CreateSolidBrush(background)), dpi_(dpi), fonts_(fonts) {
    CreateArgs args;
    args.className = L"BkTrnwckPanel";
    // Control parent: Tab moves into the panel's controls. Clip siblings: stacked
    // panels must not paint over the one in front.
    args.exStyle = WS_EX_CONTROLPARENT;
    args.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    args.x = TwipsToPixels(rect.left, dpi);
    args.y = TwipsToPixels(rect.top, dpi);
    args.width = TwipsToPixels(rect.width, dpi);
    args.height = TwipsToPixels(rect.height, dpi);
    args.parent = parent;
    CreateWindowObject(args);
}

HWND Panel::AddLabel(const std::wstring& text, const TwipsRect& rect, const FontSpec& font) {
    return AddControl({Hwnd(), L"STATIC", text, SS_LEFT | SS_NOPREFIX, rect}, font);
}

HWND Panel::AddControl(const ControlArgs& args, const FontSpec& font) {
    ControlArgs placed = args;
    placed.parent = Hwnd();
    return CreateControl(placed, dpi_, fonts_.Get(font));
}

size_t Panel::AddShape(const TwipsRect& rect, COLORREF color) {
    shapes_.push_back({PixelRect(rect), color});
    return shapes_.size() - 1;
}

void Panel::SetShapeColor(size_t index, COLORREF color) {
    Shape& shape = shapes_.at(index);
    shape.color = color;
    InvalidateRect(Hwnd(), &shape.rect, TRUE);
}

void Panel::SetControlBackground(HWND control, COLORREF color) {
    controlColors_.push_back({control, color, GdiObject(CreateSolidBrush(color))});
    InvalidateRect(control, nullptr, TRUE);
}

RECT Panel::PixelRect(const TwipsRect& rect) const {
    int left = TwipsToPixels(rect.left, dpi_);
    int top = TwipsToPixels(rect.top, dpi_);
    return {left, top, left + TwipsToPixels(rect.width, dpi_), top + TwipsToPixels(rect.height, dpi_)};
}

bool Panel::HasOwnBackground(HWND control) const {
    for (const auto& special : controlColors_) {
        if (special.control == control)
            return true;
    }
    return false;
}

LRESULT Panel::OnControlColor(HDC dc, HWND control) {
    for (const auto& special : controlColors_) {
        if (special.control != control)
            continue;
        SetBkColor(dc, special.color);
        return reinterpret_cast<LRESULT>(special.brush.Get());
    }
    SetBkColor(dc, background_);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(brush_.Get());
}

void Panel::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(), &ps);
    for (const auto& shape : shapes_) {
        GdiObject fill(CreateSolidBrush(shape.color));
        FillRect(dc, &shape.rect, static_cast<HBRUSH>(fill.Get()));
        FrameRect(dc, &shape.rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(Hwnd(), &ps);
}

LRESULT Panel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(Hwnd(), &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, static_cast<HBRUSH>(brush_.Get()));
        return TRUE;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLOREDIT:
        // Boxes the user types in keep the system's colours unless given their own.
        if (HasOwnBackground(reinterpret_cast<HWND>(lParam)))
            return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return Window::OnMessage(msg, wParam, lParam);
    case WM_COMMAND:
        return SendMessageW(GetParent(Hwnd()), msg, wParam, lParam);
    default:
        return Window::OnMessage(msg, wParam, lParam);
    }
}
