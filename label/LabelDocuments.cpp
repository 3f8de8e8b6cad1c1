#include "label/LabelDocuments.h"

#include <QPainterPath>
#include <QTransform>

#include <cmath>

#include "label/BarcodePicture.h"
#include "label/LabelPage.h"
#include "label/SymbolPicture.h"
#include "platform/core/Units.h"
#include "platform/picture/PictureSurface.h"

namespace tallyline {
namespace {

double DotsPerPoint(int dotsPerInch) { return dotsPerInch / kPointsPerInch; }

// What every document does with a text: encode, fit, draw, paint.
class Labels : public LabelDocument {
public:
    Labels(const PrinterSource& printers, const QString& documentName, const DrawingRules& drawing,
           const SymbolRules& symbol)
        : printer_(printers(), documentName), drawing_(PictureSurface::Keeping::Shapes, drawing), symbol_(symbol) {}

    QString End() override { return printer_.EndDoc(); }
    void End(const std::function<void(QByteArrayView)>& take) override { printer_.EndDoc(take); }

protected:
    // Where the encoded text goes on the label: worked out before a page
    // starts, so that a label that does not fit prints nothing.
    LabelFit FitOf(const EncodedText& text, const LabelArea& label) const {
        return FitOnLabel(SymbolElements(text.symbol.data), label, printer_.Page().dotsPerInch, symbol_);
    }
    // Paints the text as fitted on the label whose box's top-left lies at
    // that many dots of the page started.
    void Paint(const EncodedText& text, const LabelFit& fit, QPointF labelCorner) {
        drawing_.Draw(text, fit.look);
        const QPointF corner = labelCorner + fit.corner;
        printer_.Paint(QPoint(int(std::floor(corner.x())), int(std::floor(corner.y()))), drawing_.Surface().Shapes(), 1,
                       fit.turn);
    }

    Printer printer_;
    BarcodeDrawing drawing_;
    SymbolRules symbol_;
};

class PageLabels final : public Labels {
public:
    PageLabels(const PrinterSource& printers, const QString& documentName, const DrawingRules& drawing,
               const SymbolRules& symbol, std::optional<QSizeF> paper, bool asTheWindow)
        : Labels(printers, documentName, drawing, symbol), paper_(paper), asTheWindow_(asTheWindow) {
        if (paper_) printer_.SetPaper(*paper_);
    }

    Text Print(const QString& text) override {
        // A page that does not hold the window's form with no picture on it
        // is a label, whatever the text: it is drawn once, for the label.
        const bool sheet = asTheWindow_ && FitsOnPage(PlaceOnPage(QSize()), printer_.Page());
        if (sheet && !symbol_.Asked()) {
            Text uncarried = drawing_.Draw(text);
            const PictureSurface& surface = drawing_.Surface();
            const PageLayout sheet = PlaceOnPage(surface.PixelSize());
            const PageDots page = printer_.Page();
            if (FitsOnPage(sheet, page)) {
                printer_.PrintPage(sheet, surface.Shapes(),
                                   PrintedDotsPerPixel(page.dotsPerInch, ModulePixels(surface)));
                return uncarried;
            }
        }
        EncodedText encoded = drawing_.Encode(text);
        if (!paper_ && !asTheWindow_) {
            PrintOnItsOwnPage(encoded);
        } else if (!sheet || !PrintAtTheWindowsPlace(encoded)) {
            const LabelFit fit = FitOf(encoded, AreaOf(printer_.Page()));
            printer_.NewPage();
            Paint(encoded, fit, QPointF());
        }
        return std::move(encoded.uncarried);
    }

private:
    // The symbol with its quiet zones at the widest module, its bars as the
    // rules set them or as high as the window's, turned as asked.
    Turn DrawUnbounded(const EncodedText& text, int dotsPerInch) {
        drawing_.Draw(text,
                      UnboundedLook(symbol_.WidestModule(dotsPerInch), kMillimetresPerInch / dotsPerInch, symbol_));
        return symbol_.turn.value_or(Turn::None);
    }

    // On a sheet that holds the window's print form, the symbol where the
    // window prints its picture: a page-high barcode would be no label's.
    // False, having printed nothing, where it does not fit.
    bool PrintAtTheWindowsPlace(const EncodedText& text) {
        const PageDots page = printer_.Page();
        const Turn turn = DrawUnbounded(text, page.dotsPerInch);
        const QSizeF dots(Turned(drawing_.Surface().PixelSize(), turn));
        const PageLayout sheet = PlaceOnPage((dots * kDesignDotsPerInch / page.dotsPerInch).toSize());
        if (!FitsOnPage(sheet, page)) return false;
        // The form starts where the page's layout does, as the window's print.
        const QPoint corner = page.printable.topLeft() +
                              (QPointF(sheet.picture.topLeft()) * page.dotsPerInch / kDesignDotsPerInch).toPoint();
        printer_.PrintOnPaper(corner, drawing_.Surface().Shapes(), 1, turn);
        return true;
    }

    // The page is the symbol with its quiet zones.
    void PrintOnItsOwnPage(const EncodedText& text) {
        const int dotsPerInch = printer_.Page().dotsPerInch;
        const double millimetresPerDot = kMillimetresPerInch / dotsPerInch;
        const Turn turn = DrawUnbounded(text, dotsPerInch);
        printer_.SetPaper(QSizeF(Turned(drawing_.Surface().PixelSize(), turn)) * millimetresPerDot);
        printer_.PrintOnPaper(QPoint(), drawing_.Surface().Shapes(), 1, turn);
    }

    std::optional<QSizeF> paper_;
    bool asTheWindow_;
};

// The label's outline at that corner of the paper, all in points.
QPainterPath OutlineOf(const LabelTemplate& sheet, QPointF corner) {
    QPainterPath path;
    const QRectF box(corner, sheet.label);
    switch (sheet.shape) {
    case LabelShape::Rectangle: path.addRoundedRect(box, sheet.cornerRadius, sheet.cornerRadius); break;
    case LabelShape::Round:
    case LabelShape::Ellipse: path.addEllipse(box); break;
    case LabelShape::Cd: {
        // A card cuts the circle; the hole stays whole.
        QPainterPath disc;
        disc.addEllipse(box.center(), sheet.radius, sheet.radius);
        path.addRect(box);
        path = path.intersected(disc);
        path.addEllipse(box.center(), sheet.holeRadius, sheet.holeRadius);
        break;
    }
    }
    return path;
}

class SheetLabels final : public Labels {
public:
    SheetLabels(const PrinterSource& printers, const QString& documentName, const DrawingRules& drawing,
                const SymbolRules& symbol, const LabelTemplate& sheet, int first, bool outlines)
        : Labels(printers, documentName, drawing, symbol), sheet_(sheet), next_(first), outlines_(outlines) {
        printer_.SetPaper(sheet_.paper * kMillimetresPerPoint);
        const int dotsPerInch = printer_.Page().dotsPerInch;
        dotsPerPoint_ = DotsPerPoint(dotsPerInch);
        label_ = AreaOf(sheet_, dotsPerInch);
    }

    Text Print(const QString& text) override {
        EncodedText encoded = drawing_.Encode(text);
        const LabelFit fit = FitOf(encoded, label_);
        const std::size_t place = next_ % sheet_.labels.size();
        if (!started_ || place == 0) {
            printer_.NewPage();
            started_ = true;
            if (outlines_) {
                for (const QPointF corner : sheet_.labels) {
                    printer_.Outline(
                        QTransform::fromScale(dotsPerPoint_, dotsPerPoint_).map(OutlineOf(sheet_, corner)));
                }
            }
        }
        Paint(encoded, fit, sheet_.labels[place] * dotsPerPoint_);
        ++next_;
        return std::move(encoded.uncarried);
    }

private:
    const LabelTemplate sheet_;
    std::size_t next_;
    bool outlines_;
    bool started_ = false;
    double dotsPerPoint_ = 1;
    LabelArea label_;
};

}  // namespace

std::unique_ptr<LabelDocument> LabelsOnPages(const PrinterSource& printers, const QString& documentName,
                                             const DrawingRules& drawing, const SymbolRules& symbol,
                                             std::optional<QSizeF> paperMillimetres, bool asTheWindow) {
    return std::make_unique<PageLabels>(printers, documentName, drawing, symbol, paperMillimetres, asTheWindow);
}

std::unique_ptr<LabelDocument> LabelsOnSheets(const PrinterSource& printers, const QString& documentName,
                                              const DrawingRules& drawing, const SymbolRules& symbol,
                                              const LabelTemplate& sheet, int first, bool outlines) {
    return std::make_unique<SheetLabels>(printers, documentName, drawing, symbol, sheet, first, outlines);
}

}  // namespace tallyline
