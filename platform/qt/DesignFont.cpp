#include "DesignFont.h"

#include <cmath>

#include "FontSubstitutes.h"

namespace tallyline {
namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

}  // namespace

QFont DesignFont(const QString& family, double points, int weight) {
    InstallFontSubstitutes();
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(points * kPixelsPerPoint)));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

}  // namespace tallyline
