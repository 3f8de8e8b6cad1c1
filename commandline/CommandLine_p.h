#pragma once

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

// tallyline TEXT -o FILE
struct WriteOne {
    QString text;
    QString path;
    FileSettings settings;
    DrawingRules rules;
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

using Request = std::variant<WriteOne, WriteBatch, PrintOne, Inform, UsageError>;

// What the arguments ask for; the first is the program.
Request ParseCommandLine(const QStringList& arguments, const QString& version);

}  // namespace tallyline::commandline
