#pragma once

namespace tallyline {

// Design sizes are twips, 1/1440 inch; at 96 dots per inch that is 15 a pixel.
// The program draws at that density whatever the screen reports, so that the
// barcode's module width stays a whole number of pixels.
constexpr int kTwipsPerPixel = 15;

enum class ScaleModeKind : int {
    Twips = 1,
    Pixels = 3,
};

}  // namespace tallyline
