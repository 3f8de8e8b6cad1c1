#pragma once

#include <QSize>
#include <QString>

#include "platform/printing/Printer.h"

namespace tallyline {

class PictureSurface;

// Where a barcode picture of that size lands on a printed page, as the print
// form lays it out: the picture at the top-left of the form's Picture1,
// unscaled. A picture wider than Picture1 widens Picture1 and the form alike,
// keeping the margins: a barcode cut short on paper loses its stop character
// and no longer scans.
PageLayout PlaceOnPage(QSize picture);

// Prints the surface's barcode on one page of its own document, named for
// the printer's queue, laid out as the page says. The barcode goes as
// shapes, every module a whole number of printer dots.
void PrintLabel(const PictureSurface& surface, const PageLayout& page, const PrinterSource& printers,
                const QString& documentName);

}  // namespace tallyline
