#pragma once

namespace tallyline {

// Design sizes are twips, 1/1440 inch; at 96 dots per inch that is 15 a pixel.
// The program draws at that density whatever the screen reports, so that the
// barcode's module width stays a whole number of pixels.
constexpr int kTwipsPerPixel = 15;

// The nearest pixel to a design size or position, which is never negative.
// Whole twips never fall halfway between two pixels, 15 being odd.
constexpr int DesignPixels(int twips) noexcept { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

enum class ScaleModeKind : int {
    Twips = 1,
    Pixels = 3,
};

}  // namespace tallyline
