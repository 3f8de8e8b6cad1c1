#pragma once

namespace tallyline {

// The program draws at 96 dots per inch whatever the screen or device
// reports, so that the barcode's module stays a whole number of pixels. Every
// other density follows from this one.
constexpr int kDesignDotsPerInch = 96;
constexpr double kMillimetresPerInch = 25.4;
constexpr int kDesignDotsPerMeter = static_cast<int>(kDesignDotsPerInch * 1000 / kMillimetresPerInch + 0.5);
constexpr double kPointsPerInch = 72;
constexpr double kPixelsPerPoint = kDesignDotsPerInch / kPointsPerInch;

// Design sizes are twips, 1/1440 inch: 15 a pixel.
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPixel = kTwipsPerInch / kDesignDotsPerInch;
static_assert(kTwipsPerPixel * kDesignDotsPerInch == kTwipsPerInch);

// The nearest pixel to a design size or position, which is never negative.
// Whole twips never fall halfway between two pixels, 15 being odd.
constexpr int DesignPixels(int twips) noexcept { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

enum class ScaleModeKind : int {
    Twips = 1,
    Pixels = 3,
};

}  // namespace tallyline
