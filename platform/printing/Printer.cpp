#include "platform/printing/Printer.h"

#include <QDir>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/files/PdfDocument.h"
#include "platform/picture/VectorCanvas.h"
#include "platform/printing/CupsJob_p.h"
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
        // The toolkit lists no printers of a server it cannot reach.
        if (const std::optional<QString> unreachable = UnreachablePrintServer()) {
            throw RuntimeError(ErrorNumber::PrinterError, unreachable->toStdString());
        }
        if (chosen.isEmpty()) Fail("No default printer is set up");
        throw RuntimeError(
            ErrorNumber::PrinterError,
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

Printer::~Printer() = default;

QMarginsF Printer::Unprintable() const {
    QPageLayout points = device_->pageLayout();
    points.setUnits(QPageLayout::Point);
    return points.minimumMargins() * (device_->resolution() / kPointsPerInch);
}

PageDots Printer::Page() const {
    if (paper_) {
        const int dotsPerInch = device_->resolution();
        const QSize paper(static_cast<int>(std::lround(paper_->width() / kMillimetresPerInch * dotsPerInch)),
                          static_cast<int>(std::lround(paper_->height() / kMillimetresPerInch * dotsPerInch)));
        return {paper, QRect(QPoint(), paper), dotsPerInch};
    }
    return {device_->paperRect(QPrinter::DevicePixel).toAlignedRect().size(),
            device_->pageRect(QPrinter::DevicePixel).toAlignedRect(), device_->resolution(), Unprintable().toMargins()};
}

void Printer::SetPaper(QSizeF millimetres) {
    // Every label of a batch asks for its paper; most ask for the last one's.
    if (paper_ == millimetres) return;
    // The printer's queue is told the size as the toolkit names it.
    if (!device_->setPageLayout(
            QPageLayout(QPageSize(millimetres, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF()))) {
        Fail("The printer does not take paper of that size");
    }
    paper_ = millimetres;
}

void Printer::NewPage() {
    if (!document_) {
        // A document for no file, a job among them, is written where
        // temporary files go, with no name there.
        const QString file = device_->outputFormat() == QPrinter::PdfFormat ? device_->outputFileName() : QString();
        document_ = std::make_unique<PdfDocument>(
            file.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("tallyline-job.pdf")) : file,
            device_->docName());
    }
    const QSizeF points =
        paper_ ? *paper_ * (kPointsPerInch / kMillimetresPerInch) : device_->paperRect(QPrinter::Point).size();
    document_->StartPage(points, device_->resolution());
}

void Printer::PrintPage(const PageLayout& page, const VectorCanvas& picture, double dotsPerPixel) {
    NewPage();
    // The form stands where the toolkit would put it: from the corner of the
    // part of the paper that the printer prints, in whole dots.
    const QPointF printable = Page().printable.topLeft();
    const double dotsPerFormPixel = static_cast<double>(device_->resolution()) / kDesignDotsPerInch;
    // The form's own client area is its background, filled as a shape:
    // QWidget::render reaches a printer through a bitmap of the whole form,
    // which would put a picture resampled by the printer under the bars.
    const QRectF form(page.form);
    document_->Fill(QRectF(form.topLeft() * dotsPerFormPixel, form.size() * dotsPerFormPixel).translated(printable),
                    page.background);
    const auto dots = [dotsPerFormPixel](int pixels) { return std::nearbyint(pixels * dotsPerFormPixel); };
    const QRect& box = page.picture;
    // The picture's corner on a whole dot of the form; its size at its own
    // scale, which whole dots a module make larger than the form's at some
    // resolutions (180 dpi: 2 dots a pixel against 1.875), where a box of the
    // form's scale would cut off the end of the barcode.
    document_->Picture(QRectF(printable + QPointF(dots(box.x()), dots(box.y())),
                              QSizeF(box.width() * dotsPerPixel, box.height() * dotsPerPixel)),
                       picture, dotsPerPixel);
}

void Printer::PrintOnPaper(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn) {
    NewPage();
    Paint(corner, picture, dotsPerPixel, turn);
}

QPointF Printer::OnRaster(QPointF dots) const {
    // A label printer's raster starts where the printer can print, its own
    // margin in (2 points on some): a fraction of a dot off the paper's dots.
    // A corner goes on whole dots of the raster, or a rasteriser that darkens
    // every dot a shape touches widens each bar by a dot.
    const QMarginsF unprintable = Unprintable();
    const QPointF raster(unprintable.left(), unprintable.top());
    return raster + QPointF(std::nearbyint(dots.x() - raster.x()), std::nearbyint(dots.y() - raster.y()));
}

void Printer::Paint(QPoint corner, const VectorCanvas& picture, double dotsPerPixel, Turn turn) {
    document_->Picture(QRectF(OnRaster(corner), QSizeF(Turned(picture.Extent(), turn)) * dotsPerPixel), picture,
                       dotsPerPixel, turn);
}

void Printer::Outline(const QPainterPath& dots) { document_->Outline(dots.translated(OnRaster(QPointF()))); }

QString Printer::EndDoc() {
    if (!document_) return {};
    const std::unique_ptr<PdfDocument> document = std::move(document_);
    document->End();
    if (device_->outputFormat() == QPrinter::PdfFormat) {
        if (device_->outputFileName().isEmpty()) Fail("There is no file to write the PDF to");
        document->TakeName();
        return {};
    }
    // What the toolkit's own print support would tell the server.
    const QPageLayout layout = device_->pageLayout();
    JobOptions options{{"media", layout.pageSize().key().toUtf8()}};
    if (device_->copyCount() > 1) {
        options.emplace_back("copies", QByteArray::number(device_->copyCount()));
        if (device_->collateCopies()) options.emplace_back("Collate", "True");
    }
    if (layout.orientation() == QPageLayout::Landscape) options.emplace_back("landscape", "");
    return SendJob(device_->printerName(), device_->docName(), options, *document);
}

void Printer::EndDoc(const std::function<void(QByteArrayView)>& take) {
    if (!document_) return;
    const std::unique_ptr<PdfDocument> document = std::move(document_);
    document->End();
    document->Read(take);
}

}  // namespace tallyline
