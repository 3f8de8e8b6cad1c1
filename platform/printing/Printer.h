#pragma once

#include <QByteArrayView>
#include <QPainterPath>
#include <QPrinter>
#include <QRect>
#include <QRgb>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

#include "platform/picture/Turn.h"

namespace tallyline {

// Where a print goes: the default printer when the program runs, a PDF file
// when a test follows the same path.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

// The system's printer of that name, or with an empty name the default one
// (the printer that LPDEST or PRINTER names, else the server's default). Its
// page is the medium its queue prints on unless a job asks for another, the
// label that is loaded rather than the locale's sheet, laid out in the dots it
// prints when its CUPS server tells their resolution. PrinterError, naming the
// printer, when there is no such printer, or naming the print server when it
// cannot be reached.
std::unique_ptr<QPrinter> SystemPrinter(const QString& name);
// The default printer, as SystemPrinter("").
std::unique_ptr<QPrinter> DefaultPrinter();
// The dots per inch of a PDF unless asked: fine enough that whole dots come
// close to any module.
constexpr int kPdfDotsPerInch = 1200;
// A PDF file, its dots that many to the inch, which appears whole when the
// document ends; with no path, a PDF document that EndDoc hands over.
std::unique_ptr<QPrinter> PdfPrinter(const QString& path, int dotsPerInch = kPdfDotsPerInch);

class VectorCanvas;

// A page as a form lays it out, in the form's pixels (96 to the inch) from
// the page's top-left corner: the form's client area, which prints as its
// background colour, and the place of the picture on it.
struct PageLayout {
    QRect form;
    QRgb background;
    QRect picture;
};

// A printer's page in its own dots: the whole paper, and the part of it that
// the page's layout prints on, from the paper's top-left corner; and the
// edges of the paper that the printer itself cannot print on.
struct PageDots {
    QSize paper;
    QRect printable;
    int dotsPerInch;
    QMargins unprintable = {};
};

class PdfDocument;

// One print document, written as a PDF page by page, which goes to its file
// or to the printer's queue only once it is whole: a document dropped before
// EndDoc, or one whose writing fails, leaves no file, sends no job and keeps
// nothing in the temporary folder. Its memory stays the same however many
// pages it has.
class Printer {
public:
    // The document's name is what the printer's queue shows.
    Printer(std::unique_ptr<QPrinter> device, const QString& documentName);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // The page that the next page printed comes out on.
    PageDots Page() const;
    // Makes the next pages paper of exactly that size, all of it printable;
    // a standard paper of that size is told to the printer by its name.
    void SetPaper(QSizeF millimetres);
    // Prints the form's client area, its background, as one page, at the
    // form's pixel size (96 to the inch), and over it the picture at its
    // place: its top-left corner on a whole printer dot, each of its pixels
    // dotsPerPixel dots across, cut at the place's edges. All of it reaches
    // the printer as shapes, never as a bitmap resampled to its resolution.
    // FileError when the page cannot be written.
    void PrintPage(const PageLayout& page, const VectorCanvas& picture, double dotsPerPixel);
    // Prints the picture alone as one page, its top-left corner at the
    // corner's dots from the paper's top-left corner, each of its pixels
    // dotsPerPixel dots across, turned as asked; the rest of the paper stays
    // blank. FileError when the page cannot be written.
    void PrintOnPaper(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn = Turn::None);
    // Starts a page, to be painted on. FileError when it cannot be written.
    void NewPage();
    // Paints the picture on the page started as PrintOnPaper does.
    void Paint(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn);
    // Draws the outline of the path, in dots from the paper's top-left
    // corner, a hair's breadth wide.
    void Outline(const QPainterPath& dots);
    // Ends the document and checks it whole, then gives it its file's name
    // or sends it to the printer's queue as one job, which counts as printed
    // once the print server has taken it. Returns why the job waits in the
    // queue rather than printing (its printer stopped, the server holding
    // it), empty when it goes ahead and for a file. FileError when the
    // document could not be written whole; PrinterError when the printer
    // refuses it or its server goes away.
    QString EndDoc();
    // Ends the document and checks it whole as EndDoc does, then hands its
    // bytes over in order instead of naming a file or sending a job: a
    // document to go where the printer names none (PdfPrinter of no path).
    void EndDoc(const std::function<void(QByteArrayView)>& take);

private:
    // The paper's position, in its dots, of a picture's corner at those dots:
    // on whole dots of the printer's raster.
    QPointF OnRaster(QPointF dots) const;
    // The edges that the printer cannot print on, in its dots.
    QMarginsF Unprintable() const;

    std::unique_ptr<QPrinter> device_;
    std::unique_ptr<PdfDocument> document_;
    // The paper that SetPaper asked for, which the toolkit would round to
    // whole points.
    std::optional<QSizeF> paper_;
};

}  // namespace tallyline
