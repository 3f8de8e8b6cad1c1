#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tallyline::commandline {

// One line of a list: its number from 1, and its text or why it has none.
struct ListLine {
    qint64 number = 0;
    QString text;
    QString problem;
};

// Reads a list one line at a time from a descriptor, in blocks: UTF-8, a line
// ending in LF or CR LF, the last line with or without its end, a byte-order
// mark at the start of the list dropped (anywhere else it is a character of
// its line). A line is handed on only once its end is read, so a read that
// fails draws nothing from the line it cut. A line longer than a limit is
// passed over whole rather than held, so no input makes the reader's memory
// grow. While an Interruption lives, its signal ends a wait for input.
class LineReader {
public:
    static constexpr qint64 kLongestLine = 64 * 1024;

    enum class Ownership { Borrowed, Owned };
    // Owned, the descriptor is closed with the reader.
    LineReader(int descriptor, Ownership ownership);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, blank lines skipped, however long it takes to come;
    // nothing once the list has ended (Ended() is then true).
    std::optional<ListLine> Next();
    // The next line if it is at hand without waiting for more input.
    std::optional<ListLine> NextAtHand();
    // Whether the list gives no more lines: it came to its end, could not be
    // read further (Failure() says why) or a signal stopped it.
    bool Ended() const { return state_ != State::Reading; }
    // Why the list could not be read to its end; empty when it was.
    const QString& Failure() const { return failure_; }
    // The number of the last line read.
    qint64 LinesRead() const { return number_; }

private:
    enum class State { Reading, AtEnd, Failed, Stopped };

    std::optional<ListLine> Take(bool wait);
    // Reads the next block; false when none came.
    bool Fill(bool wait);
    // Keeps a piece of the line being read, unless the line is too long to keep.
    void Keep(const char* piece, qsizetype size);
    // The line read, or nothing for a blank one.
    std::optional<ListLine> Finish();

    const int descriptor_;
    const Ownership ownership_;
    State state_ = State::Reading;
    qint64 number_ = 0;
    QString failure_;
    QByteArray block_;
    qsizetype start_ = 0;
    qsizetype end_ = 0;
    // The line being read, with the CR of its CR LF.
    QByteArray line_;
    bool tooLong_ = false;
};

}  // namespace tallyline::commandline
