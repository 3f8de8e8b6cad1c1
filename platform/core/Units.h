#pragma once

#include <cmath>

namespace tallyline {

// The program draws at 96 dots per inch whatever the screen or device
// reports, so that the barcode's module stays a whole number of pixels. Every
// other density follows from this one.
constexpr int kDesignDotsPerInch = 96;
constexpr double kMillimetresPerInch = 25.4;
constexpr int kDesignDotsPerMeter = static_cast<int>(kDesignDotsPerInch * 1000 / kMillimetresPerInch + 0.5);
constexpr double kPointsPerInch = 72;
constexpr double kMillimetresPerPoint = kMillimetresPerInch / kPointsPerInch;
constexpr double kPixelsPerPoint = kDesignDotsPerInch / kPointsPerInch;

// Design sizes are twips, 1/1440 inch: 15 a pixel.
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPixel = kTwipsPerInch / kDesignDotsPerInch;
static_assert(kTwipsPerPixel * kDesignDotsPerInch == kTwipsPerInch);

// The nearest whole pixel to a length in twips, a tie going to the even
// pixel, as the platform converts everywhere. Whole twips never fall halfway,
// 15 being odd.
inline double NearestPixel(double twips) noexcept { return std::nearbyint(twips / kTwipsPerPixel); }
inline int DesignPixels(int twips) noexcept { return static_cast<int>(NearestPixel(twips)); }

// Beyond this many pixels from the origin nothing lands on a screen or a
// page, and keeping coordinates within it keeps a painter's fixed-point
// arithmetic from overflowing.
constexpr double kFarthestPixel = 1 << 20;

enum class ScaleModeKind : int {
    Twips = 1,
    Pixels = 3,
};

// The mode itself when a surface takes it; any other raises "Invalid
// property value", and the caller keeps the scale it had.
ScaleModeKind ValidScaleMode(ScaleModeKind mode);

// How many units of a valid scale one pixel spans: a length in pixels times
// this is the length in the scale, and a length in the scale divided by it
// is back in pixels.
constexpr double UnitsPerPixel(ScaleModeKind mode) noexcept {
    return mode == ScaleModeKind::Twips ? kTwipsPerPixel : 1;
}

}  // namespace tallyline
