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
// last line with or without its end, a byte-order mark at the start of the
// list dropped (anywhere else it is a character of its line). A line longer
// than a limit is passed over whole rather than held, so no input makes the
// reader's memory grow.
class LineReader {
public:
    static constexpr qint64 kLongestLine = 64 * 1024;

    explicit LineReader(QIODevice& device) : device_(device) {}

    // The next line, blank lines skipped; nothing at the end of the list or
    // where it could not be read further, which Failure() then names.
    std::optional<ListLine> Next();
    // Why the list could not be read to its end; empty when it was.
    const QString& Failure() const { return failure_; }
    // The number of the last line read.
    qint64 LinesRead() const { return number_; }

private:
    // The next piece of a line, at most the buffer; false at the end or on
    // a failure.
    bool Read(qint64& read);

    QIODevice& device_;
    qint64 number_ = 0;
    QString failure_;
    // A line, its CR LF and the NUL that QIODevice::readLine adds.
    QByteArray buffer_ = QByteArray(kLongestLine + 3, '\0');
};

}  // namespace tallyline::commandline
