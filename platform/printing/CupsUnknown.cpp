#include "platform/printing/CupsJob_p.h"
#include "platform/printing/CupsResolution_p.h"

#include "platform/core/RuntimeError.h"

// Built without libcups's headers, the program cannot ask the print server:
// Qt's own resolution serves, and a printer's queue cannot be sent a job.
namespace tallyline {

std::optional<int> CupsDefaultResolution(const QString&) { return std::nullopt; }

QString SendJob(const QString&, const QString&, const JobOptions&, const PdfDocument&) {
    throw RuntimeError(ErrorNumber::PrinterError,
                       "This build of the program prints only to PDF files: it was built "
                       "without CUPS");
}

std::optional<QString> UnreachablePrintServer() { return std::nullopt; }

}  // namespace tallyline
