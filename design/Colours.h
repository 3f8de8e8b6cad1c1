#pragma once

#include "platform/core/Colour.h"

// The window's own colours; system colours are the platform's.
namespace tallyline::design {

constexpr Colour kFormBackColor = RGB(212, 208, 200);
constexpr Colour kGrey = RGB(128, 128, 128);
// A text that the bars do not carry whole turns this colour.
constexpr Colour kUncarriedTextColor = RGB(204, 0, 0);

}  // namespace tallyline::design
