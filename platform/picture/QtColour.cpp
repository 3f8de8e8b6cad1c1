#include "platform/picture/QtColour.h"

namespace tallyline {

QColor ToQColor(Colour colour) {
    if (IsSystemColour(colour)) {
        return colour == kWindowBackground ? QColor(Qt::white) : QColor(Qt::black);
    }
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QRgb PixelOf(Colour colour) noexcept {
    // Plain colours go straight to their pixel, without a QColor per box.
    if (IsSystemColour(colour)) return ToQColor(colour).rgb();
    return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

}  // namespace tallyline
