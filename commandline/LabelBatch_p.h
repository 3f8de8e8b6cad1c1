#pragma once

#include <QTextStream>

#include "commandline/CommandLine_p.h"
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

// Prints a label for each text in one job named `name`, as the layout lays
// them out, reporting each text that failed and warning on err, and for a
// list a summary on out. The exit status: 0 when every label was printed, 1
// otherwise, 2 for a sheet that cannot be laid out.
int RunPrintLabels(const LabelTexts& texts, const PrintSettings& print, const DrawingRules& rules,
                   const LabelLayout& layout, const QString& name, QTextStream& out, QTextStream& err);
// The same for the texts of the request's list.
int RunPrintBatch(const PrintBatch& request, QTextStream& out, QTextStream& err);

// Writes a label for each text of the list as the pages of one PDF file,
// which appears whole or not at all, reporting as RunPrintBatch does.
int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err);

}  // namespace tallyline::commandline
