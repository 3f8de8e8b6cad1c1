#include "commandline/LineReader_p.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#include "commandline/CommandLineTexts_p.h"
#include "commandline/Interruption_p.h"

namespace tallyline::commandline {
namespace {

// A pipe's buffer: a block read takes what a writer has written so far.
constexpr qsizetype kBlock = 64 * 1024;

bool Blank(const QString& text) {
    for (const QChar character : text) {
        if (!character.isSpace()) return false;
    }
    return true;
}

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

}  // namespace

LineReader::LineReader(int descriptor, Ownership ownership)
    : descriptor_(descriptor), ownership_(ownership), block_(kBlock, Qt::Uninitialized) {
    line_.reserve(kLongestLine + 1);
}

LineReader::~LineReader() {
    if (ownership_ == Ownership::Owned) close(descriptor_);
}

std::optional<ListLine> LineReader::Next() { return Take(true); }

std::optional<ListLine> LineReader::NextAtHand() { return Take(false); }

// By the descriptor, not through QFile: a sequential QFile reads a byte at a
// time and keeps a failed read to itself, and its read waits on through a
// signal.
bool LineReader::Fill(bool wait) {
    while (!Interruption::Signal()) {
        pollfd waits[] = {{descriptor_, POLLIN, 0}, {Interruption::WakeDescriptor(), POLLIN, 0}};
        const int ready = poll(waits, std::size(waits), wait ? -1 : 0);
        if (ready == 0) return false;
        if (ready > 0 && waits[0].revents == 0) continue;
        const ssize_t read = ready > 0 ? ::read(descriptor_, block_.data(), block_.size()) : -1;
        if (read > 0) {
            start_ = 0;
            end_ = read;
            return true;
        }
        if (read == 0) {
            state_ = State::AtEnd;
            return false;
        }
        // A descriptor left non-blocking by whoever gave it to us is waited on.
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
        failure_ = qt_error_string(errno);
        state_ = State::Failed;
        return false;
    }
    state_ = State::Stopped;
    return false;
}

void LineReader::Keep(const char* piece, qsizetype size) {
    if (tooLong_) return;
    if (line_.size() + size > kLongestLine + 1) {
        tooLong_ = true;
        line_.resize(0);
        return;
    }
    line_.append(piece, size);
}

std::optional<ListLine> LineReader::Take(bool wait) {
    for (;;) {
        // Nothing at hand, when not waiting for it.
        if (start_ == end_ && state_ == State::Reading && !Fill(wait) && state_ == State::Reading) return std::nullopt;
        if (start_ < end_) {
            const char* from = block_.constData() + start_;
            const auto* end = static_cast<const char*>(std::memchr(from, '\n', end_ - start_));
            const qsizetype size = end ? end - from : end_ - start_;
            Keep(from, size);
            start_ += end ? size + 1 : size;
            if (!end) continue;
        } else if (state_ != State::AtEnd || (line_.isEmpty() && !tooLong_)) {
            // What a failure or a signal cut short is no line.
            return std::nullopt;
        }
        ++number_;
        if (auto line = Finish()) return line;
    }
}

std::optional<ListLine> LineReader::Finish() {
    const bool tooLong = tooLong_;
    tooLong_ = false;
    QByteArrayView line(line_);
    if (line.endsWith('\r')) line.chop(1);
    std::optional<ListLine> read;
    if (tooLong || line.size() > kLongestLine) {
        read = ListLine{number_, {}, LineTooLong(kLongestLine)};
    } else {
        if (number_ == 1 && line.startsWith(kByteOrderMark)) line = line.sliced(kByteOrderMark.size());
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(line);
        if (decoder.hasError()) {
            read = ListLine{number_, {}, kNotUtf8};
        } else if (!Blank(text)) {
            read = ListLine{number_, text, {}};
        }
    }
    line_.resize(0);
    return read;
}

}  // namespace tallyline::commandline
