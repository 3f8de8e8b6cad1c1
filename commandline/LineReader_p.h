#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

namespace tallyline::commandline {

// One line of a list: its number from 1, and its text or why it has none.
struct ListLine {
    qint64 number = 0;
    QString text;
    QString problem;
};

// Reads a list one line at a time: UTF-8, a line ending in LF or CR LF, the
// last line with or without its end. A line longer than a limit is passed
// over whole rather than held, so no input makes the reader's memory grow.
class LineReader {
public:
    static constexpr qint64 kLongestLine = 64 * 1024;

    explicit LineReader(QIODevice& device) : device_(device) {}

    // The next line, blank lines skipped; nothing at the end of the list.
    std::optional<ListLine> Next();

private:
    QIODevice& device_;
    qint64 number_ = 0;
    QByteArray buffer_ = QByteArray(kLongestLine + 2, '\0');
};

}  // namespace tallyline::commandline
