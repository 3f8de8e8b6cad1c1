#pragma once

#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QRect>
#include <QRgb>
#include <functional>
#include <memory>

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
// printer, when there is no such printer.
std::unique_ptr<QPrinter> SystemPrinter(const QString& name);
// The default printer, as SystemPrinter("").
std::unique_ptr<QPrinter> DefaultPrinter();
// The dots per inch of a PDF unless asked: fine enough that whole dots come
// close to any module.
constexpr int kPdfDotsPerInch = 1200;
// A PDF file written when the document ends, its dots that many to the inch.
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

// One print document. A document that is dropped before EndDoc is asked to
// abort, but Qt's PDF and CUPS printers cannot: ending it there sends what
// was drawn. So whatever can refuse a page (its layout) is worked out before
// the page starts, and a failing print sends no page it began.
class Printer {
public:
    // The document's name is what the printer's queue shows.
    Printer(std::unique_ptr<QPrinter> device, const QString& documentName);
    ~Printer();
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;

    // The page that the next page printed comes out on.
    PageDots Page() const;
    // Makes the next pages paper of that size (PageAround's), all of it
    // printable where the printer can print to its edges.
    void SetPaper(QSizeF millimetres);
    // The same with a paper that the printer is told by its name.
    void SetPaper(const QPageSize& paper);
    // Prints the form's client area, its background, as one page, at the
    // form's pixel size (96 to the inch), and over it the picture at its
    // place: its top-left corner on a whole printer dot, each of its pixels
    // dotsPerPixel dots across, cut at the place's edges. All of it reaches
    // the printer as shapes, never as a bitmap resampled to its resolution.
    // PrinterError when the printer does not take the page.
    void PrintPage(const PageLayout& page, const VectorCanvas& picture, double dotsPerPixel);
    // Prints the picture alone as one page, its top-left corner at the
    // corner's dots from the paper's top-left corner, each of its pixels
    // dotsPerPixel dots across, turned as asked; the rest of the paper stays
    // blank. PrinterError when the printer does not take the page.
    void PrintOnPaper(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn = Turn::None);
    // Starts a page, to be painted on. PrinterError when the printer does not
    // take it.
    void NewPage();
    // Paints the picture on the page as PrintOnPaper does.
    void Paint(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn);
    // Draws the outline of the path, in dots from the paper's top-left
    // corner, a hair's breadth wide.
    void Outline(const QPainterPath& dots);
    // Ends the document so that it goes to the printer now. PrinterError when
    // the printer refuses it.
    void EndDoc();

private:
    // The picture with its top-left corner at the place's, cut at its edges.
    void PaintPicture(const QRectF& place, const VectorCanvas& picture, double dotsPerPixel,
                      Turn turn = Turn::None);
    // The painter's position of a point in dots of the paper.
    QPointF OnPaper(QPointF dots) const;
    // The edges that the printer cannot print on, in its dots.
    QMarginsF Unprintable() const;

    std::unique_ptr<QPrinter> device_;
    QPainter painter_;
};

}  // namespace tallyline
