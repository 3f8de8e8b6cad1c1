#include "Printer.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "CupsJobStatus.h"
#include "RuntimeError.h"
#include "Units.h"

namespace tallyline {
namespace {

[[noreturn]] void Fail(const char* what) { throw RuntimeError(ErrorNumber::PrinterError, what); }

}  // namespace

std::unique_ptr<QPrinter> DefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) Fail("No default printer is set up");
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

std::unique_ptr<QPrinter> PdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

Printer::Printer(std::unique_ptr<QPrinter> device) : device_(std::move(device)) {
    if (!device_) Fail("There is no printer to print on");
}

Printer::~Printer() {
    if (painter_.isActive()) {
        device_->abort();
        painter_.end();
    }
}

void Printer::PrintForm(QWidget& form) {
    if (painter_.isActive()) {
        if (!device_->newPage()) Fail("The printer took no further page");
    } else if (!painter_.begin(device_.get())) {
        Fail("The printer could not start the document");
    }
    painter_.save();
    const double scale = static_cast<double>(device_->resolution()) / kDesignDotsPerInch;
    painter_.scale(scale, scale);
    form.render(&painter_, QPoint(), QRegion(form.rect()),
                QWidget::DrawWindowBackground | QWidget::DrawChildren);
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
