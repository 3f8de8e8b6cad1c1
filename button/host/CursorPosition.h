#pragma once

#include <QPoint>
#include <cstdint>

class QWidget;

namespace tallyline {

// A point as the system's pointer calls take it: x then y, in pixels.
struct POINTAPI {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Where the pointer is, in screen pixels. Tests put a source of their own in
// place so that a poll sees exactly the position they choose; nullptr brings
// back the real pointer.
using CursorSource = QPoint (*)();
void SetCursorSource(CursorSource source) noexcept;

// Fills the point with the pointer's position in screen pixels.
void GetCursorPos(POINTAPI& point);
// Converts a point in place from screen pixels to the window's client pixels.
void ScreenToClient(const QWidget& window, POINTAPI& point);

}  // namespace tallyline
