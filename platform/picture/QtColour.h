#pragma once

#include <QColor>

#include "platform/core/Colour.h"

namespace tallyline {

// The Qt colour of a platform colour. System colours take the values that a
// default desktop gives them, so a drawing looks the same whatever theme the
// user runs; a system colour the program never asks for reads as window text.
QColor ToQColor(Colour colour);
// The same colour as a pixel value.
QRgb PixelOf(Colour colour) noexcept;

}  // namespace tallyline
