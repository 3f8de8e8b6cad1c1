#include "label/BarcodePicture.h"

#include <algorithm>
#include <cmath>

#include "design/Fonts.h"
#include "design/Geometry.h"
#include "engine/DrawBar.h"
#include "platform/picture/LaidOutText.h"

namespace tallyline {

void DesignAsBarcodePicture(PictureSurface& surface) {
    surface.Width(static_cast<float>(design::kPicture1.width));
    surface.Height(static_cast<float>(design::kPicture1.height));
    surface.BackColor(kWindowBackground);
    surface.ForeColor(kWindowText);
    // Neither the window nor the picture box names a font: the window's default is the one they get.
    surface.Font(design::FontOf(design::kDefaultFont));
}

int ModulePixels(const PictureSurface& surface) {
    return ModuleWidth(static_cast<float>(surface.PixelSize().height()));
}

int DesignModulePixels() { return ModuleWidth(static_cast<float>(DesignPixels(design::kPicture1.height))); }

double DesignModuleMillimetres() { return DesignModulePixels() * kDesignMillimetresPerPixel; }

double DesignBarModules() {
    const double caption = DesignMetrics(design::FontOf(design::kDefaultFont)).height();
    return (DesignPixels(design::kPicture1.height) - caption * kBarBandCaptionHeights) / DesignModulePixels();
}

QMargins QuietZoneMargins(int modulePixels, int quietZone) {
    const auto beside = [&](int spaceDrawn) { return std::max(0, quietZone - spaceDrawn) * modulePixels; };
    return QMargins(beside(kSpaceBeforeBars), 0, beside(kSpaceAfterBars), 0);
}

double PrintedDotsPerPixel(int dotsPerInch, int modulePixels) {
    const double designDots = static_cast<double>(modulePixels) * dotsPerInch / kDesignDotsPerInch;
    return std::max(1.0, std::nearbyint(designDots)) / modulePixels;
}

}  // namespace tallyline
