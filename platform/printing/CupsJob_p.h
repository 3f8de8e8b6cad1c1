#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace tallyline {

class PdfDocument;

// A job's choices for the print server, name and value, as the toolkit's
// print support would send them.
using JobOptions = std::vector<std::pair<QByteArray, QByteArray>>;

// Sends the document whole to the printer's queue as one job. The job
// counts as printed once the server has taken all of it; what is returned
// says why it waits in the queue rather than printing (its printer stopped,
// the server holding it), empty when it goes ahead. PrinterError with the
// server's reason when it refuses the job, or "The print server went away"
// when it stops answering part-way; a job it did not take whole is
// cancelled, so that nothing of it prints.
QString SendJob(const QString& printerName, const QString& title, const JobOptions& options,
                const PdfDocument& document);

// That the print server cannot be reached, naming it, when it cannot;
// nothing when it answers, or where CUPS is not in use.
std::optional<QString> UnreachablePrintServer();

}  // namespace tallyline
