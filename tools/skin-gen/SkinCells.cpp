#include "tools/skin-gen/SkinCells.h"

#include <algorithm>

#include "button/SkinGeometry.h"

namespace skingen {
namespace {

using tallyline::skin::kCellHeight;
using tallyline::skin::kCellWidth;

constexpr int kRight = kCellWidth - 1;    // 17
constexpr int kBottom = kCellHeight - 1;  // 20

// Blends from `from` (step 0) to `to` (step `steps`), rounding to nearest.
Rgb Mix(Rgb from, Rgb to, int step, int steps) {
    const auto channel = [&](int a, int b) {
        return static_cast<std::uint8_t>((a * (steps - step) + b * step + steps / 2) / steps);
    };
    return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}

// The shade of `base` that `sample` is of `reference`, so that a column
// darker by a measured amount at one row stays darker by that amount at all.
Rgb Shade(Rgb base, Rgb reference, Rgb sample) {
    const auto channel = [](int b, int r, int s) { return static_cast<std::uint8_t>(std::clamp(b + s - r, 0, 255)); };
    return {channel(base.red, reference.red, sample.red), channel(base.green, reference.green, sample.green),
            channel(base.blue, reference.blue, sample.blue)};
}

class Cell {
public:
    Cell(Raster& raster, int index) : raster_(raster), left_(index * kCellWidth) {}

    void Set(int x, int y, Rgb colour) { raster_.At(left_ + x, y) = colour; }
    Rgb Get(int x, int y) const { return raster_.At(left_ + x, y); }
    void Row(int y, int x0, int x1, Rgb colour) {
        for (int x = x0; x <= x1; ++x) Set(x, y, colour);
    }
    void Column(int x, int y0, int y1, Rgb colour) {
        for (int y = y0; y <= y1; ++y) Set(x, y, colour);
    }
    void InnerCorners(Rgb topLeft, Rgb topRight, Rgb bottomLeft, Rgb bottomRight) {
        Set(1, 1, topLeft);
        Set(kRight - 1, 1, topRight);
        Set(1, kBottom - 1, bottomLeft);
        Set(kRight - 1, kBottom - 1, bottomRight);
    }

private:
    Raster& raster_;
    int left_;
};

// The dark-blue rounded border shared by every face but the disabled one.
void OuterBorder(Cell& cell) {
    const Rgb blue = Hex(0x003C74);
    cell.Row(0, 3, 14, blue);
    cell.Row(kBottom, 3, 14, blue);
    cell.Column(0, 3, 17, blue);
    cell.Column(kRight, 3, 17, blue);

    cell.Set(0, 0, Hex(0xDDD7C5));
    cell.Set(1, 0, Hex(0x65869F));
    cell.Set(0, 1, Hex(0x65869F));
    cell.Set(2, 0, Hex(0x225583));
    cell.Set(0, 2, Hex(0x225583));

    cell.Set(15, 0, Hex(0x154C7D));
    cell.Set(16, 0, Hex(0x577C99));
    cell.Set(17, 0, Hex(0xE1DCCA));
    cell.Set(17, 1, Hex(0x6586A0));
    cell.Set(17, 2, Hex(0x225583));

    cell.Set(0, 18, Hex(0x154C7D));
    cell.Set(0, 19, Hex(0x567B99));
    cell.Set(0, 20, Hex(0xECEAD9));
    cell.Set(1, 20, Hex(0x6A8BA3));
    cell.Set(2, 20, Hex(0x225583));

    cell.Set(15, 20, Hex(0x154C7D));
    cell.Set(16, 20, Hex(0x6184A0));
    cell.Set(17, 20, Hex(0xF9F8F2));
    cell.Set(17, 19, Hex(0x5E829E));
    cell.Set(17, 18, Hex(0x154C7D));
}

// Near-white, shading to light grey downwards; the columns inside the right
// border a little darker.
void NormalFill(Cell& cell) {
    cell.Row(1, 1, 16, Hex(0xFFFFFF));
    cell.Row(2, 1, 16, Hex(0xFEFEFE));
    const Rgb top = Hex(0xFCFCFB);
    const Rgb bottom = Hex(0xF0F0EA);
    const Rgb atRow10 = Mix(top, bottom, 7, 13);
    for (int y = 3; y <= 16; ++y) {
        const Rgb body = Mix(top, bottom, y - 3, 13);
        cell.Row(y, 1, 16, body);
        cell.Set(15, y, Shade(body, atRow10, Hex(0xEEEDE7)));
        cell.Set(16, y, Shade(body, atRow10, Hex(0xE8E5DF)));
    }
    cell.Row(17, 1, 16, Hex(0xECEBE6));
    cell.Row(18, 1, 16, Hex(0xE2DFD6));
    cell.Row(19, 1, 16, Hex(0xD6D0C5));
    cell.InnerCorners(Hex(0x557DA2), Hex(0x557DA2), Hex(0x4A7193), Hex(0x486E90));
}

// Sunken: darkest at the top and left, lightest at the bottom.
void PressedFill(Cell& cell) {
    cell.Row(1, 1, 16, Hex(0xD1CCC1));
    cell.Row(2, 1, 16, Hex(0xDCD8CF));
    const Rgb top = Hex(0xE5E4DD);
    const Rgb bottom = Hex(0xE0E0D7);
    const Rgb base = Hex(0xEAE9E3);
    const Rgb atRow10 = Mix(top, bottom, 7, 12);
    for (int y = 3; y <= 17; ++y) {
        const Rgb body = y <= 15 ? Mix(top, bottom, y - 3, 12) : Mix(bottom, base, y - 15, 3);
        cell.Row(y, 1, 16, body);
        cell.Set(1, y, Shade(body, atRow10, Hex(0xD7D4CB)));
        cell.Set(2, y, Shade(body, atRow10, Hex(0xDDDBD3)));
    }
    cell.Row(18, 1, 16, base);
    cell.Row(19, 1, 16, Hex(0xF2F1EE));
    cell.InnerCorners(Hex(0x466D8E), Hex(0x497092), Hex(0x4D7598), Hex(0x4F779B));
}

// Flat and pale, a grey-beige border and no inner frame.
void DisabledCell(Cell& cell) {
    for (int y = 0; y <= kBottom; ++y) cell.Row(y, 0, kRight, Hex(0xF5F4EA));
    const Rgb border = Hex(0xC9C7BA);
    cell.Row(0, 0, kRight, border);
    cell.Row(kBottom, 0, kRight, border);
    cell.Column(0, 0, kBottom, border);
    cell.Column(kRight, 0, kBottom, border);
    for (const auto& [x, y] : {std::pair{0, 0}, {kRight, 0}, {0, kBottom}, {kRight, kBottom}}) {
        cell.Set(x, y, Hex(0xFFFFFF));
    }
    const Rgb corner = Hex(0xD8D6CA);
    cell.InnerCorners(corner, corner, corner, corner);
    for (const int x : {2, 15}) {
        cell.Set(x, 1, Hex(0xEAE9DE));
        cell.Set(x, 19, Hex(0xEAE9DE));
    }
    for (const int y : {2, 18}) {
        cell.Set(1, y, Hex(0xEEEDE2));
        cell.Set(16, y, Hex(0xEEEDE2));
    }
}

// An orange frame two pixels wide inside the border, over the normal fill.
void HoverFrame(Cell& cell) {
    cell.Row(1, 1, 16, Hex(0xFFF0CF));
    cell.Row(2, 1, 16, Hex(0xFDD889));
    for (int y = 3; y <= 17; ++y) {
        const Rgb outer = Mix(Hex(0xFEDF9A), Hex(0xF9B435), y - 3, 14);
        const Rgb inner = Mix(Hex(0xFCD279), Hex(0xF8B535), y - 3, 14);
        cell.Set(1, y, outer);
        cell.Set(2, y, inner);
        cell.Set(15, y, inner);
        cell.Set(16, y, outer);
    }
    cell.Row(18, 1, 16, Hex(0xF8B330));
    cell.Row(19, 2, 15, Hex(0xE59700));
    cell.InnerCorners(Hex(0x8D9EA1), Hex(0x8D9EA1), Hex(0x848671), Hex(0x83846F));
}

// The same frame in light blue.
void HighlightFrame(Cell& cell) {
    cell.Row(1, 2, 15, Hex(0xCEE7FF));
    cell.Row(2, 1, 16, Hex(0xBCD4F6));
    for (int y = 3; y <= 17; ++y) {
        const Rgb shade = Mix(Hex(0xBAD3F5), Hex(0x89ADE4), y - 3, 14);
        for (const int x : {1, 2, 15, 16}) cell.Set(x, y, shade);
    }
    cell.Row(18, 1, 16, Hex(0x89ADE4));
    cell.Row(19, 3, 15, Hex(0x6982EE));
    cell.Set(2, 19, Hex(0x4D7DC1));
    const Rgb corner = Hex(0x274D85);
    cell.InnerCorners(corner, corner, corner, corner);
}

}  // namespace

Raster DrawSkin() {
    Raster raster(tallyline::skin::kImageWidth, tallyline::skin::kImageHeight);

    Cell normal(raster, 0);
    NormalFill(normal);
    OuterBorder(normal);

    Cell pressed(raster, 1);
    PressedFill(pressed);
    OuterBorder(pressed);

    Cell disabled(raster, 2);
    DisabledCell(disabled);

    Cell hover(raster, 3);
    NormalFill(hover);
    HoverFrame(hover);
    OuterBorder(hover);

    Cell highlighted(raster, 4);
    NormalFill(highlighted);
    HighlightFrame(highlighted);
    OuterBorder(highlighted);
    return raster;
}

}  // namespace skingen
