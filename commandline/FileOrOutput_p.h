#pragma once

#include <QByteArray>
#include <QString>

namespace tallyline::commandline {

// Writes the contents to the file whole or not at all, as WriteWholeFile
// does, or to standard output when the path is kStandardOutput ("-").
// std::runtime_error saying why when standard output does not take them all.
void WriteFileOrOutput(const QString& path, const QByteArray& contents);

}  // namespace tallyline::commandline
