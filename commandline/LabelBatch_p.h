#pragma once

#include <QTextStream>

#include "commandline/CommandLine_p.h"
#include "platform/printing/Printer.h"

namespace tallyline::commandline {

// The printer that the settings name, printing each page as often as they say.
PrinterSource ChosenPrinter(const PrintSettings& settings);

// Prints a label for each text of the list in one job, reporting each text
// that failed and warning on err, and a summary on out. The exit status: 0
// when every label was printed, 1 otherwise.
int RunPrintBatch(const PrintBatch& request, QTextStream& out, QTextStream& err);

// Writes a label for each text of the list as the pages of one PDF file,
// which appears whole or not at all, reporting as RunPrintBatch does.
int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err);

}  // namespace tallyline::commandline
