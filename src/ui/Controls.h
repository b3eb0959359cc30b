#pragma once
// Thin helpers over the standard controls: layout in twips, fonts in points, texts.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "runtime/Handles.h"

// Positions are given in twips (1/1440 inch) and placed in pixels for the screen's DPI.
struct TwipsRect {
    int left, top, width, height;
};

int TwipsToPixels(int twips, int dpi);
int ScreenDpi();

// A font description in the terms the windows are designed in.
struct FontSpec {
    const wchar_t* face;
    double points;
    bool bold = false;
    bool underline = false;
};

inline constexpr FontSpec DefaultFont{L"MS Sans Serif", 8.25};
inline constexpr FontSpec ArialFont{L"Arial", 8.25};

// The fonts of one window, created on first use and deleted with the window.
class FontSet {
public:
    explicit FontSet(int dpi) : dpi_(dpi) {}
    HFONT Get(const FontSpec& font);

private:
    int dpi_;
    std::map<std::tuple<std::wstring, int, bool, bool>, GdiObject> fonts_;
};

struct ControlArgs {
    HWND parent;
    const wchar_t* className;
    std::wstring text;
    DWORD style;
    TwipsRect rect;
    int id = 0;
    DWORD exStyle = 0;
};

// Creates a visible child control laid out in twips.
HWND CreateControl(const ControlArgs& args, int dpi, HFONT font);

// Moves and sizes a control to a place given in twips, at the screen's DPI.
void PlaceControl(HWND control, const TwipsRect& rect);

std::wstring GetText(HWND control);
void SetText(HWND control, const std::wstring& text);
void SetEnabled(HWND control, bool enabled);
bool IsEnabled(HWND control);
bool IsBold(HWND control);  // the weight of the font the control draws with
// The width in pixels of text in the font the control draws with.
int TextWidth(HWND control, const std::wstring& text);
// The height in pixels of text wrapped at width, in that font.
int WrappedTextHeight(HWND control, const std::wstring& text, int width);
