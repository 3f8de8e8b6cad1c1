#pragma once

#include <QMargins>

#include "platform/core/Units.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {

// Millimetres that one pixel of the barcode picture takes on paper as
// designed, 96 to the inch: two of them make the narrow element.
constexpr double kDesignMillimetresPerPixel = kMillimetresPerInch / kDesignDotsPerInch;

// The quiet zone that ISO/IEC 16388 asks for on each side of the bars, in
// modules: what files and labels carry unless told otherwise.
constexpr int kStandardQuietZone = 10;

// The background, in pixels, to add beside a barcode picture whose module is
// that wide so that its bars have quietZone modules of background on each
// side. Nothing for 0, which keeps the picture as the window shows it; the
// picture's own spaces count towards a quiet zone.
QMargins QuietZoneMargins(int modulePixels, int quietZone);

// Makes the surface what the window's barcode picture is by design: its size,
// colours and font. Files and prints drawn on such a surface are the very
// picture the window shows.
void DesignAsBarcodePicture(PictureSurface& surface);

// The narrow element's width in pixels of the barcode drawn on the surface.
int ModulePixels(const PictureSurface& surface);
// The same of the window's barcode picture as designed, its width on paper,
// and the height of its bars in modules.
int DesignModulePixels();
double DesignModuleMillimetres();
double DesignBarModules();

// How many printer dots each pixel of a barcode picture takes, so that every
// module is a whole number of dots: the nearest to the design's module at the
// printer's resolution, a tie to the even one, and at least one. Bars and
// spaces, whole modules all, then come out exact on every printer.
double PrintedDotsPerPixel(int dotsPerInch, int modulePixels);

}  // namespace tallyline
