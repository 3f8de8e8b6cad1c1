#pragma once

#include <QTextStream>

#include <functional>

#include "commandline/CommandLine_p.h"
#include "label/LabelPage.h"
#include "platform/printing/Printer.h"

namespace tallyline::commandline {

// The printer that the settings name, printing each page as often as they say.
PrinterSource ChosenPrinter(const PrintSettings& settings);

// Writes the pages that draw prints as one PDF, once draw answers true:
// the file at path, which takes its name only once read back whole, or
// standard output for "-", which is handed the document only once it is
// whole. Nothing is written, and false returned, when draw answers false.
// FileError naming the file when it cannot be written whole.
bool WritePdfOfLabels(const QString& path, const QString& documentName, const std::function<bool(LabelPrint&)>& draw);

// Prints a label for each text of the list in one job, reporting each text
// that failed and warning on err, and a summary on out. The exit status: 0
// when every label was printed, 1 otherwise.
int RunPrintBatch(const PrintBatch& request, QTextStream& out, QTextStream& err);

// Writes a label for each text of the list as the pages of one PDF file,
// which appears whole or not at all (or goes to standard output for -),
// reporting as RunPrintBatch does. A list that gives no label leaves no file
// and exits 1.
int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err);

}  // namespace tallyline::commandline
