#pragma once

// The skin image: five cells side by side, one per face, each cut into nine
// pieces by a three-pixel strip along every side. The strips hold the border
// and the inner frame; the middle holds fill only, so it can be stretched.
namespace tallyline::skin {

constexpr int kRows = 1;
constexpr int kCols = 5;
constexpr int kCellWidth = 18;
constexpr int kCellHeight = 21;
constexpr int kStrip = 3;

constexpr int kImageWidth = kCols * kCellWidth;
constexpr int kImageHeight = kRows * kCellHeight;

// The stretchable middle of a cell.
constexpr int kMiddleWidth = kCellWidth - 2 * kStrip;
constexpr int kMiddleHeight = kCellHeight - 2 * kStrip;

static_assert(kImageWidth == 90 && kImageHeight == 21);
static_assert(kMiddleWidth == 12 && kMiddleHeight == 15);

}  // namespace tallyline::skin
