#include "label/LabelPage.h"

#include "design/Geometry.h"
#include "label/BarcodePicture.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtColour.h"

namespace tallyline {

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

void PrintLabel(const PictureSurface& surface, const PageLayout& page, const PrinterSource& printers,
                const QString& documentName) {
    Printer printer(printers(), documentName);
    printer.PrintPage(page, surface.Shapes(), PrintedDotsPerPixel(printer.Resolution(), ModulePixels(surface)));
    printer.EndDoc();
}

}  // namespace tallyline
