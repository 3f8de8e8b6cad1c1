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

// The system's default printer; PrinterError when none is set up.
std::unique_ptr<QPrinter> DefaultPrinter();
// A PDF file written when the document ends.
std::unique_ptr<QPrinter> PdfPrinter(const QString& path);

// One print document. A document that is dropped before EndDoc is
// abandoned, so a failing print never sends half a job.
class Printer {
public:
    explicit Printer(std::unique_ptr<QPrinter> device);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // Prints the form's client area as one page, at the form's pixel size
    // (96 to the inch), whether or not the form is shown. PrinterError when
    // the printer does not take the page.
    void PrintForm(QWidget& form);
    // Ends the document so that it goes to the printer now. PrinterError when
    // the printer refuses it.
    void EndDoc();

private:
    std::unique_ptr<QPrinter> device_;
    QPainter painter_;
};

}  // namespace tallyline
