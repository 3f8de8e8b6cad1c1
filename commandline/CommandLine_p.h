#pragma once

#include <QFlags>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "label/BarcodeDrawing.h"
#include "label/LabelFiles.h"

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

// What a request makes: some options act on some of these only.
enum class Output : unsigned {
    PngFile = 1,
    SvgFile = 2,
    PdfFile = 4,
    // A PDF of labels: --batch LIST -o FILE.pdf, or a text with --page-mm.
    LabelPdf = 8,
    Print = 16,
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

// tallyline --print TEXT
struct PrintOne {
    QString text;
    PrintSettings print;
    DrawingRules rules;
};

// tallyline --batch LIST --print
struct PrintBatch {
    QString list;
    PrintSettings print;
    DrawingRules rules;
};

// tallyline --batch LIST -o FILE.pdf
struct WriteLabelPdf {
    QString list;
    QString path;
    // Nothing: each page the size of its barcode with its quiet zones.
    std::optional<QSizeF> pageMillimetres;
    DrawingRules rules;
};

// --help or --version: the text to show, and nothing else to do.
struct Inform {
    QString text;
};

// A command line that cannot be carried out as given.
struct UsageError {
    QString message;
};

using Request = std::variant<WriteOne, WriteBatch, PrintOne, PrintBatch, WriteLabelPdf, Inform, UsageError>;

// What the arguments ask for; the first is the program.
Request ParseCommandLine(const QStringList& arguments, const QString& version);

}  // namespace tallyline::commandline

Q_DECLARE_OPERATORS_FOR_FLAGS(tallyline::commandline::Outputs)
