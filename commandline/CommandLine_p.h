#pragma once

#include <QFlags>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "label/BarcodeDrawing.h"
#include "label/LabelFiles.h"
#include "label/LabelFit.h"
#include "platform/printing/Printer.h"

namespace tallyline::commandline {

// How far a file's scale, module and quiet zone may go. Past 100 modules a
// quiet zone is no longer a margin but a page of its own.
constexpr int kLargestScale = 100;
constexpr int kWidestQuietZone = 100;
constexpr double kFinestModule = 0.01;
constexpr double kBroadestModule = 100;
constexpr int kMostCopies = 999;
// How large a label's page may be, in millimetres each way.
constexpr double kSmallestPage = 1;
constexpr double kLargestPage = 5000;
// The grids a file may be drawn on, in dots per inch: a screen's to a
// photosetter's.
constexpr int kCoarsestGrid = 72;
constexpr int kFinestGrid = 2400;
// How high bars may be asked to be, in millimetres.
constexpr double kLowestBars = 1;
constexpr double kHighestBars = kLargestPage;
// Past this label a sheet no longer says where to start.
constexpr int kLastFirstLabel = 10000;

// --sheet NAME: the labels laid out on sheets of a label maker's product.
struct SheetChoice {
    // A product ("Avery 5160") or a path to a template file.
    QString name;
    // The label of the first sheet that the first text goes on, from 1.
    int first = 1;
    bool outlines = false;
};

// How printed labels and PDFs of labels are laid out.
struct LabelLayout {
    SymbolRules symbol;
    std::optional<SheetChoice> sheet;
};

// What a request makes: some options act on some of these only.
enum class Output : unsigned {
    PngFile = 1,
    SvgFile = 2,
    PdfFile = 4,
    // A PDF of labels: --batch LIST -o FILE.pdf, or a text with --page-mm.
    LabelPdf = 8,
    Print = 16,
    // Labels laid out on sheets with --sheet, as a PDF or printed.
    SheetPdf = 32,
    SheetPrint = 64,
};
Q_DECLARE_FLAGS(Outputs, Output)

// Where and how often a print goes.
struct PrintSettings {
    // Empty: the default printer.
    QString printer;
    int copies = 1;
};

// -o - writes to standard output.
inline const QString kStandardOutput = QStringLiteral("-");

// tallyline TEXT -o FILE
struct WriteOne {
    QString text;
    QString path;
    FileSettings settings;
    DrawingRules rules;
    // A PDF's page of that size, the label drawn on it as --batch draws it;
    // nothing: the barcode's own size.
    std::optional<QSizeF> pageMillimetres;
};

// tallyline --batch LIST -d DIR
struct WriteBatch {
    QString list;
    QString folder;
    FileSettings settings;
    DrawingRules rules;
};

// tallyline --print TEXT; with --sheet, the text on --copies labels.
struct PrintOne {
    QString text;
    PrintSettings print;
    DrawingRules rules;
    LabelLayout layout;
};

// tallyline --batch LIST --print
struct PrintBatch {
    QString list;
    PrintSettings print;
    DrawingRules rules;
    LabelLayout layout;
};

// tallyline --batch LIST -o FILE.pdf, or TEXT -o FILE.pdf --sheet NAME
struct WriteLabelPdf {
    // Empty: the one text, as many times as copies says.
    QString list;
    QString path;
    // Nothing: each page the size of its barcode with its quiet zones.
    std::optional<QSizeF> pageMillimetres;
    DrawingRules rules;
    LabelLayout layout;
    // The PDF's dots per inch, which every module is a whole number of.
    int dotsPerInch = kPdfDotsPerInch;
    QString text;
    int copies = 1;
};

// tallyline --sheets [WORD]
struct ListSheets {
    QString word;
};

// --help or --version: the text to show, and nothing else to do.
struct Inform {
    QString text;
};

// A command line that cannot be carried out as given.
struct UsageError {
    QString message;
};

using Request = std::variant<WriteOne, WriteBatch, PrintOne, PrintBatch, WriteLabelPdf, ListSheets, Inform, UsageError>;

// What the arguments ask for; the first is the program.
Request ParseCommandLine(const QStringList& arguments, const QString& version);

}  // namespace tallyline::commandline

Q_DECLARE_OPERATORS_FOR_FLAGS(tallyline::commandline::Outputs)
