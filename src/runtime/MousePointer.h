#pragma once
// The application's mouse pointer: while it is the hourglass, every window of the
// program shows the hourglass, whatever control the mouse is over.

enum class MousePointer { Default = 0, Hourglass = 11 };

void SetMousePointer(MousePointer pointer);
MousePointer CurrentMousePointer();

// For WM_SETCURSOR: sets the hourglass and returns true while it is in force;
// returns false when the window should show its own cursor.
bool ApplyMousePointer();

// Sets the hourglass for the lifetime of the object, then the default again.
class HourglassScope {
public:
    HourglassScope() { SetMousePointer(MousePointer::Hourglass); }
    ~HourglassScope() { SetMousePointer(MousePointer::Default); }
    HourglassScope(const HourglassScope&) = delete;
    HourglassScope& operator=(const HourglassScope&) = delete;
};
