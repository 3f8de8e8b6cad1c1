#pragma once

namespace tallyline {

// The whole pixel nearest to a position in pixels, ties to the even one.
// Positions far beyond any screen, and NaN, are held at a distance Qt's
// geometry can still take.
int ScreenPixel(float position) noexcept;

}  // namespace tallyline
