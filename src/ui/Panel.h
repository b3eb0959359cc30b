#pragma once
// A plain child window with a background colour that holds other controls: the
// wizard's step panels and its step strip. Commands of its controls go on to the
// top-level window, and its labels draw on its own background.

#include <vector>

#include "ui/Controls.h"
#include "ui/Window.h"

class Panel : public Window {
public:
    Panel(HWND parent, const TwipsRect& rect, COLORREF background, int dpi, FontSet& fonts);

    COLORREF Background() const { return background_; }

    HWND AddLabel(const std::wstring& text, const TwipsRect& rect, const FontSpec& font);
    HWND AddControl(const ControlArgs& args, const FontSpec& font);
    // A filled square (or bar) drawn on the panel itself; returns its index.
    size_t AddShape(const TwipsRect& rect, COLORREF color);
    void SetShapeColor(size_t index, COLORREF color);
    COLORREF ShapeColor(size_t index) const { return shapes_.at(index).color; }
    // A control drawn on another background than the panel's (the finish panel's path box).
    void SetControlBackground(HWND control, COLORREF color);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    struct Shape {
        RECT rect;
        COLORREF color;
    };
    struct ControlColor {
        HWND control;
        COLORREF color;
        GdiObject brush;
    };
    LRESULT OnControlColor(HDC dc, HWND control);
    bool HasOwnBackground(HWND control) const;
    void Paint();
    RECT PixelRect(const TwipsRect& rect) const;

    COLORREF background_;
    GdiObject brush_;
    int dpi_;
    FontSet& fonts_;
    std::vector<Shape> shapes_;
    std::vector<ControlColor> controlColors_;
};
