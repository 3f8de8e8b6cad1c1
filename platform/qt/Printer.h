#pragma once

#include <QPainter>
#include <QPrinter>
#include <functional>
#include <memory>

class QWidget;

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
    // Prints the form's own client area, its background, as one page, at the
    // form's pixel size (96 to the inch), whether or not the form is shown,
    // and over it the picture at the box's place: its top-left corner on a
    // whole printer dot, each of its pixels dotsPerPixel dots across, cut at
    // the box's edges. All of it reaches the printer as shapes, never as a
    // bitmap resampled to its resolution. PrinterError when the printer does
    // not take the page.
    void PrintForm(const QWidget& form, const QWidget& box, const VectorCanvas& picture, double dotsPerPixel);
    // Ends the document so that it goes to the printer now. PrinterError when
    // the printer refuses it.
    void EndDoc();

private:
    std::unique_ptr<QPrinter> device_;
    QPainter painter_;
};

}  // namespace tallyline
