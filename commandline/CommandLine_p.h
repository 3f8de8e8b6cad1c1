#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "label/LabelFiles.h"

namespace tallyline::commandline {

// How far a file's scale and module may go.
constexpr int kLargestScale = 100;
constexpr double kFinestModule = 0.01;
constexpr double kBroadestModule = 100;
constexpr int kMostCopies = 999;
// How large a label's page may be, in millimetres each way.
constexpr double kSmallestPage = 1;
constexpr double kLargestPage = 5000;

// Where and how often a print goes.
struct PrintSettings {
    // Empty: the default printer.
    QString printer;
    int copies = 1;
};

// tallyline TEXT -o FILE
struct WriteOne {
    QString text;
    QString path;
    FileSettings settings;
};

// tallyline --batch LIST -d DIR
struct WriteBatch {
    QString list;
    QString folder;
    FileSettings settings;
};

// tallyline --print TEXT
struct PrintOne {
    QString text;
    PrintSettings print;
};

// tallyline --batch LIST --print
struct PrintBatch {
    QString list;
    PrintSettings print;
};

// tallyline --batch LIST -o FILE.pdf
struct WriteLabelPdf {
    QString list;
    QString path;
    // Nothing: each page the size of its barcode with its quiet zones.
    std::optional<QSizeF> pageMillimetres;
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
