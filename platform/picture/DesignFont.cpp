#include "platform/picture/DesignFont.h"

#include <cmath>

#include "platform/core/Units.h"
#include "platform/picture/FontSubstitutes_p.h"

namespace tallyline {

QFont DesignFont(const QString& family, double points, int weight) {
    InstallFontSubstitutes();
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(points * kPixelsPerPoint)));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

}  // namespace tallyline
