#pragma once

#include <QTextStream>

#include <memory>

#include "commandline/CommandLine_p.h"

namespace tallyline::commandline {

class LineReader;

// A reader of the list (- for standard input), and what to call it in
// reports; nothing, having said why on err, when it cannot be read.
std::unique_ptr<LineReader> OpenList(const QString& list, QString& name, QTextStream& err);

// When the reader stopped short of the list's end, says so on err, naming
// the last line read, and answers true: the rest of the list is lost.
bool ReportUnreadRest(const LineReader& reader, const QString& listName, QTextStream& err);

// The warning for a PNG file of the drawing that common readers refuse for
// its size; empty for any other file.
QString SizeWarning(const BarcodeDrawing& drawing, const FileSettings& settings);

// Writes one file for each text of the list into the folder, reporting each
// failure and warning on err and a summary on out. The exit status: 0 when
// every text was written, 1 otherwise.
int RunBatch(const WriteBatch& request, QTextStream& out, QTextStream& err);

}  // namespace tallyline::commandline
