#include "platform/printing/Printer.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/picture/PageAround.h"
#include "platform/picture/VectorCanvas.h"
#include "platform/printing/CupsJobStatus_p.h"
#include "platform/printing/CupsResolution_p.h"

namespace tallyline {
namespace {

[[noreturn]] void Fail(const char* what) { throw RuntimeError(ErrorNumber::PrinterError, what); }

}  // namespace

std::unique_ptr<QPrinter> SystemPrinter(const QString& name) {
    // The variables that CUPS reads for the default, in its order: a name in
    // one of them that is no printer is that name's fault, not the setup's.
    QString chosen = name;
    QString namedBy = QStringLiteral("--printer");
    for (const char* variable : {"LPDEST", "PRINTER"}) {
        if (!chosen.isEmpty()) break;
        chosen = qEnvironmentVariable(variable);
        namedBy = QString::fromLatin1(variable);
    }
    const QPrinterInfo info = chosen.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(chosen);
    if (info.isNull()) {
        if (chosen.isEmpty()) Fail("No default printer is set up");
        throw RuntimeError(ErrorNumber::PrinterError,
                           QStringLiteral("There is no printer named \"%1\" (named by %2)").arg(chosen, namedBy).toStdString());
    }
    auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // Qt starts every document on the locale's sheet; the queue's own
    // default, as its server sets it, is the medium that is loaded.
    const QPageSize loaded = info.defaultPageSize();
    if (loaded.isValid()) printer->setPageSize(loaded);
    if (const std::optional<int> dotsPerInch = CupsDefaultResolution(info.printerName())) {
        printer->setResolution(*dotsPerInch);
    }
    return printer;
}

std::unique_ptr<QPrinter> DefaultPrinter() { return SystemPrinter(QString()); }

std::unique_ptr<QPrinter> PdfPrinter(const QString& path, int dotsPerInch) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(dotsPerInch);
    printer->setOutputFileName(path);
    return printer;
}

Printer::Printer(std::unique_ptr<QPrinter> device, const QString& documentName) : device_(std::move(device)) {
    if (!device_) Fail("There is no printer to print on");
    device_->setDocName(documentName);
}

QMarginsF Printer::Unprintable() const {
    QPageLayout points = device_->pageLayout();
    points.setUnits(QPageLayout::Point);
    return points.minimumMargins() * (device_->resolution() / kPointsPerInch);
}

PageDots Printer::Page() const {
    return {device_->paperRect(QPrinter::DevicePixel).toAlignedRect().size(),
            device_->pageRect(QPrinter::DevicePixel).toAlignedRect(), device_->resolution(),
            Unprintable().toMargins()};
}

void Printer::SetPaper(QSizeF millimetres) { SetPaper(PageAround(millimetres)); }

void Printer::SetPaper(const QPageSize& paper) {
    if (!device_->setPageSize(paper)) Fail("The printer does not take paper of that size");
    // A printer that cannot print to the paper's edges keeps its own margins.
    device_->setPageMargins(QMarginsF());
}

Printer::~Printer() {
    if (painter_.isActive()) {
        device_->abort();
        painter_.end();
    }
}

void Printer::NewPage() {
    if (painter_.isActive()) {
        if (!device_->newPage()) Fail("The printer took no further page");
    } else if (!painter_.begin(device_.get())) {
        Fail("The printer could not start the document");
    }
}

void Printer::PaintPicture(const QRectF& place, const VectorCanvas& picture, double dotsPerPixel, Turn turn) {
    painter_.save();
    painter_.setClipRect(place);
    painter_.translate(place.topLeft());
    painter_.scale(dotsPerPixel, dotsPerPixel);
    painter_.setTransform(TurnedInPlace(picture.Extent(), turn), true);
    picture.Paint(painter_);
    painter_.restore();
}

void Printer::PrintPage(const PageLayout& page, const VectorCanvas& picture, double dotsPerPixel) {
    NewPage();
    const double dotsPerFormPixel = static_cast<double>(device_->resolution()) / kDesignDotsPerInch;
    // The form's own client area is its background, filled as a shape:
    // QWidget::render reaches a printer through a bitmap of the whole form,
    // which would put a picture resampled by the printer under the bars.
    painter_.save();
    painter_.scale(dotsPerFormPixel, dotsPerFormPixel);
    painter_.fillRect(page.form, QColor(page.background));
    painter_.restore();

    const auto dots = [dotsPerFormPixel](int pixels) { return std::nearbyint(pixels * dotsPerFormPixel); };
    const QRect& box = page.picture;
    // The picture's corner on a whole dot of the form; its size at its own
    // scale, which whole dots a module make larger than the form's at some
    // resolutions (180 dpi: 2 dots a pixel against 1.875), where a box of the
    // form's scale would cut off the end of the barcode.
    PaintPicture(QRectF(dots(box.x()), dots(box.y()), box.width() * dotsPerPixel, box.height() * dotsPerPixel), picture,
                 dotsPerPixel);
}

void Printer::PrintOnPaper(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn) {
    NewPage();
    Paint(corner, picture, dotsPerPixel, turn);
}

QPointF Printer::OnPaper(QPointF dots) const {
    // A label printer's raster starts where the printer can print, its own
    // margin in (2 points on some): a fraction of a dot off the paper's dots,
    // and off the painter's, which Qt starts on whole dots of its own margin.
    // A corner goes on whole dots of the raster, or a rasteriser that darkens
    // every dot a shape touches widens each bar by a dot.
    const QMarginsF unprintable = Unprintable();
    const QPointF raster(unprintable.left(), unprintable.top());
    const QPointF onRaster(std::nearbyint(dots.x() - raster.x()), std::nearbyint(dots.y() - raster.y()));
    return raster + onRaster - device_->pageRect(QPrinter::DevicePixel).topLeft();
}

void Printer::Paint(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn) {
    PaintPicture(QRectF(OnPaper(corner), QSizeF(Turned(picture.Extent(), turn)) * dotsPerPixel), picture,
                 dotsPerPixel, turn);
}

void Printer::Outline(const QPainterPath& dots) {
    painter_.save();
    // Cosmetic: one device dot wide however the page is scaled.
    QPen hairline(Qt::black, 0);
    painter_.setPen(hairline);
    painter_.setBrush(Qt::NoBrush);
    painter_.translate(OnPaper(QPointF()));
    painter_.drawPath(dots);
    painter_.restore();
}

void Printer::EndDoc() {
    if (!painter_.isActive()) return;
    const bool ended = painter_.end();
    if (!ended || device_->printerState() == QPrinter::Error) {
        Fail("The printer refused the document");
    }
    if (device_->outputFormat() == QPrinter::NativeFormat) {
        if (const auto failure = LastCupsFailure()) {
            throw RuntimeError(ErrorNumber::PrinterError,
                               ("The printer refused the document: " + *failure).toStdString());
        }
    }
}

}  // namespace tallyline
