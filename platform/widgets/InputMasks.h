#pragma once

#include <Qt>

class QKeyEvent;
class QMouseEvent;

namespace tallyline {

// The platform's masks for mouse and keyboard notifications.
// Buttons: 1 left, 2 right, 4 middle. Shift: 1 Shift, 2 Ctrl, 4 Alt.
short ButtonMask(Qt::MouseButtons buttons) noexcept;
short ShiftMask(Qt::KeyboardModifiers modifiers) noexcept;

// The platform's virtual-key code of a key: letters, digits and the blank
// are their upper-case character codes; 0 for a key it has no code for.
short KeyCodeOf(const QKeyEvent& event) noexcept;

// The four arguments of a mouse notification, as variables that handlers
// take by reference. X and Y are the event's position in pixels times the
// units of the receiver's scale that one pixel spans (UnitsPerPixel).
struct MouseArguments {
    short Button;
    short Shift;
    float X;
    float Y;
};
MouseArguments MouseArgumentsOf(const QMouseEvent& event, Qt::MouseButtons buttons, double unitsPerPixel = 1) noexcept;

}  // namespace tallyline
