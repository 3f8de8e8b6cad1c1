#pragma once

#include <QPoint>
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

// Whether a page laid out as the form lays it out, at the form's size,
// lies within what the printer can print of its page.
bool FitsOnPage(const PageLayout& layout, const PageDots& page);

// A barcode picture on a label, in the printer's dots from the label's
// top-left corner.
struct LabelPlacement {
    QPoint corner;
    int moduleDots;
    double dotsPerPixel;
};

// Centres on a label of that many dots a barcode picture of that size, whose
// module is modulePixels wide, with the standard quiet zone on each side:
// each module the most whole dots not above the design's module that let
// picture and quiet zones fit, never below FinestModuleDots.
// PrinterError, saying how wide (or high) the label would have to be, when
// even the finest module does not fit.
LabelPlacement PlaceOnLabel(QSize picture, int modulePixels, QSize label, int dotsPerInch);

// One print document of barcodes, a page each.
class LabelPrint {
public:
    LabelPrint(const PrinterSource& printers, const QString& documentName);

    // Prints the surface's barcode on a page of its own: laid out as the
    // sheet says where that fits on the printer's page, else centred on the
    // label that the page is. The barcode goes as shapes, every module a
    // whole number of printer dots. Nothing is printed for a barcode that
    // does not fit.
    void Print(const PictureSurface& surface, const PageLayout& sheet);
    // Sends the document to the printer whole, as Printer::EndDoc does:
    // why its job waits in the queue, if it does.
    QString End();

private:
    Printer printer_;
};

// Prints the surface's barcode on one page of its own document, named for
// the printer's queue, as LabelPrint prints it; why its job waits in the
// queue, if it does.
QString PrintLabel(const PictureSurface& surface, const PageLayout& sheet, const PrinterSource& printers,
                   const QString& documentName);

}  // namespace tallyline
