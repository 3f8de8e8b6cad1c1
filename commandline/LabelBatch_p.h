#pragma once

#include <QTextStream>

#include <functional>
#include <memory>

#include "commandline/CommandLine_p.h"
#include "label/LabelDocuments.h"
#include "platform/printing/Printer.h"

namespace tallyline::commandline {

// The printer that the settings name, printing each page as often as they say.
PrinterSource ChosenPrinter(const PrintSettings& settings);

// The exit status of a sheet that cannot be laid out.
constexpr int kUsageStatus = 2;

// The texts of labels: the lines of a list, or without one the one text;
// each `copies` times.
struct LabelTexts {
    QString list;
    QString text;
    int copies = 1;
};

// Makes the document that labels go into, printing on the printer given.
using LabelOpener = std::function<std::unique_ptr<LabelDocument>(const PrinterSource&)>;

// Writes the pages that fill puts into a document that open makes on a PDF
// of that many dots per inch as one PDF, once fill answers true: the file at
// path, which takes its name only once read back whole, or standard output
// for "-", which is handed the document only once it is whole. Nothing is
// written, and false returned, when fill answers false. FileError naming the
// file when it cannot be written whole.
bool WritePdfOfLabels(const QString& path, int dotsPerInch, const LabelOpener& open,
                      const std::function<bool(LabelDocument&)>& fill);

// Prints a label for each text in one job named `name`, as the layout lays
// them out, reporting each text that failed and warning on err, and for a
// list a summary on out. The exit status: 0 when every label was printed, 1
// otherwise, 2 for a sheet that cannot be laid out.
int RunPrintLabels(const LabelTexts& texts, const PrintSettings& print, const DrawingRules& rules,
                   const LabelLayout& layout, const QString& name, QTextStream& out, QTextStream& err);
// The same for the texts of the request's list.
int RunPrintBatch(const PrintBatch& request, QTextStream& out, QTextStream& err);

// Writes a label for each text of the list as the pages of one PDF file,
// which appears whole or not at all (or goes to standard output for -),
// reporting as RunPrintBatch does. A list that gives no label leaves no file
// and exits 1.
int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err);

}  // namespace tallyline::commandline
