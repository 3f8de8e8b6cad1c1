#include "QtColour.h"

namespace tallyline {

QColor ToQColor(Colour colour) {
    if (IsSystemColour(colour)) {
        return colour == kWindowBackground ? QColor(Qt::white) : QColor(Qt::black);
    }
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

}  // namespace tallyline
