#pragma once

#include <QImage>
#include <QString>

#include "platform/qt/QtColour.h"

namespace tallyline {

// A background that is neither of the colours bars are drawn in.
constexpr Colour kPanel = RGB(212, 208, 200);

// A row of a picture as text, for comparing against a layout: black '#',
// white '.', the panel '-', any other colour '?'.
inline QString PixelRow(const QImage& image, int y) {
    QString row;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        const bool panel = pixel == ToQColor(kPanel).rgb();
        row += pixel == qRgb(0, 0, 0) ? '#' : pixel == qRgb(255, 255, 255) ? '.' : panel ? '-' : '?';
    }
    return row;
}

}  // namespace tallyline
