#include "label/LabelPage.h"

#include <cmath>

#include "design/ErrorTexts.h"
#include "design/Geometry.h"
#include "label/BarcodePicture.h"
#include "label/LabelFit.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtColour.h"

namespace tallyline {
namespace {

double DotsPerMillimetre(int dotsPerInch) { return dotsPerInch / kMillimetresPerInch; }

// What a label holds: the picture with the standard quiet zone on each side.
QSize WithQuietZones(QSize picture, int modulePixels) {
    return picture.grownBy(QuietZoneMargins(modulePixels, kStandardQuietZone));
}

}  // namespace

PageLayout PlaceOnPage(QSize picture) {
    PageLayout page{design::ToPixels(design::kPrintClient), PixelOf(kWindowBackground),
                    design::ToPixels(design::kPrintPicture1)};
    const int overhang = picture.width() - page.picture.width();
    if (overhang > 0) {
        page.picture.setWidth(picture.width());
        page.form.setWidth(page.form.width() + overhang);
    }
    return page;
}

bool FitsOnPage(const PageLayout& layout, const PageDots& page) {
    const QRect& form = layout.form;
    // Form pixels times dots per inch over pixels per inch, kept whole.
    return (form.x() + form.width()) * page.dotsPerInch <= page.printable.width() * kDesignDotsPerInch &&
           (form.y() + form.height()) * page.dotsPerInch <= page.printable.height() * kDesignDotsPerInch;
}

LabelPlacement PlaceOnLabel(QSize picture, int modulePixels, QSize label, int dotsPerInch) {
    const QSize symbol = WithQuietZones(picture, modulePixels);
    const int designDots = LargestModuleDots(modulePixels * kDesignMillimetresPerPixel, dotsPerInch);
    const int finestDots = FinestModuleDots(dotsPerInch);
    // A symbol of k dots a module takes its pixels times k over modulePixels
    // dots: compared in whole numbers, so that exactly filling a label fits.
    const auto fitsAcross = [&](int dots) { return symbol.width() * dots <= label.width() * modulePixels; };
    const auto fitsDown = [&](int dots) { return symbol.height() * dots <= label.height() * modulePixels; };
    for (int dots = designDots; dots >= finestDots; --dots) {
        if (!fitsAcross(dots) || !fitsDown(dots)) continue;
        const double dotsPerPixel = static_cast<double>(dots) / modulePixels;
        // The symbol's corner on a whole dot; the quiet zone is whole modules.
        const int left = static_cast<int>(std::floor((label.width() - symbol.width() * dotsPerPixel) / 2));
        const int top = static_cast<int>(std::floor((label.height() - symbol.height() * dotsPerPixel) / 2));
        const int quietLeft = QuietZoneMargins(modulePixels, kStandardQuietZone).left();
        return {QPoint(left + quietLeft / modulePixels * dots, top), dots, dotsPerPixel};
    }
    const double millimetresPerDot = 1 / DotsPerMillimetre(dotsPerInch);
    const double needed = static_cast<double>(finestDots) / modulePixels * millimetresPerDot;
    const bool across = !fitsAcross(finestDots);
    // Rounded up to the tenth that the message shows, so that a label of that size does take it.
    const double neededMillimetres = std::ceil((across ? symbol.width() : symbol.height()) * needed * 10) / 10;
    throw RuntimeError(
        ErrorNumber::PrinterError,
        design::LabelTooSmallNote(across ? QStringLiteral("wide") : QStringLiteral("high"), neededMillimetres,
                                  (across ? label.width() : label.height()) * millimetresPerDot)
            .toStdString());
}

LabelPrint::LabelPrint(const PrinterSource& printers, const QString& documentName)
    : printer_(printers(), documentName) {}

void LabelPrint::Print(const PictureSurface& surface, const PageLayout& sheet) {
    const PageDots page = printer_.Page();
    const int modulePixels = ModulePixels(surface);
    if (FitsOnPage(sheet, page)) {
        printer_.PrintPage(sheet, surface.Shapes(), PrintedDotsPerPixel(page.dotsPerInch, modulePixels));
        return;
    }
    const LabelPlacement place = PlaceOnLabel(surface.PixelSize(), modulePixels, page.paper, page.dotsPerInch);
    printer_.PrintOnPaper(place.corner, surface.Shapes(), place.dotsPerPixel);
}

QString LabelPrint::End() { return printer_.EndDoc(); }

QString PrintLabel(const PictureSurface& surface, const PageLayout& sheet, const PrinterSource& printers,
                   const QString& documentName) {
    LabelPrint print(printers, documentName);
    print.Print(surface, sheet);
    return print.End();
}

}  // namespace tallyline
