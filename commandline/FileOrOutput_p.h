#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace tallyline::commandline {

// Writes the contents to the file whole or not at all, as WriteWholeFile
// does, or to standard output when the path is kStandardOutput ("-").
// std::runtime_error saying why when standard output does not take them all.
void WriteFileOrOutput(const QString& path, const QByteArray& contents);

// Standard output as the place a file goes. Unbuffered: each write reaches
// the descriptor, and its failure is seen at once. std::runtime_error saying
// why when standard output is closed or does not take a write whole.
class StandardOutput {
public:
    StandardOutput();
    void Write(QByteArrayView contents);

private:
    QFile output_;
};

}  // namespace tallyline::commandline
