#pragma once

#include <QPainter>
#include <QPrinter>
#include <QRect>
#include <QRgb>
#include <functional>
#include <memory>

namespace tallyline {

// Where a print goes: the default printer when the program runs, a PDF file
// when a test follows the same path.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

// The system's default printer, its pages laid out in the dots it prints
// when its CUPS server tells their resolution; PrinterError when none is
// set up.
std::unique_ptr<QPrinter> DefaultPrinter();
// A PDF file written when the document ends.
std::unique_ptr<QPrinter> PdfPrinter(const QString& path);

class VectorCanvas;

// A page as a form lays it out, in the form's pixels (96 to the inch) from
// the page's top-left corner: the form's client area, which prints as its
// background colour, and the place of the picture on it.
struct PageLayout {
    QRect form;
    QRgb background;
    QRect picture;
};

// One print document. A document that is dropped before EndDoc is
// abandoned, so a failing print never sends half a job.
class Printer {
public:
    // The document's name is what the printer's queue shows.
    Printer(std::unique_ptr<QPrinter> device, const QString& documentName);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Dots to the inch on the page.
    int Resolution() const;
    // Prints the form's client area, its background, as one page, at the
    // form's pixel size (96 to the inch), and over it the picture at its
    // place: its top-left corner on a whole printer dot, each of its pixels
    // dotsPerPixel dots across, cut at the place's edges. All of it reaches
    // the printer as shapes, never as a bitmap resampled to its resolution.
    // PrinterError when the printer does not take the page.
    void PrintPage(const PageLayout& page, const VectorCanvas& picture, double dotsPerPixel);
    // Ends the document so that it goes to the printer now. PrinterError when
    // the printer refuses it.
    void EndDoc();

private:
    std::unique_ptr<QPrinter> device_;
    QPainter painter_;
};

}  // namespace tallyline
