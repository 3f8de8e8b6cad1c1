#pragma once

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
