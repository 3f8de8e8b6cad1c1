#include "commandline/LineReader_p.h"

#include <QIODevice>
#include <QStringDecoder>

#include "commandline/CommandLineTexts_p.h"

namespace tallyline::commandline {
namespace {

bool Blank(const QString& text) {
    for (const QChar character : text) {
        if (!character.isSpace()) return false;
    }
    return true;
}

}  // namespace

std::optional<ListLine> LineReader::Next() {
    for (;;) {
        const qint64 read = device_.readLine(buffer_.data(), buffer_.size());
        if (read <= 0) return std::nullopt;
        ++number_;
        QByteArrayView line(buffer_.constData(), read);
        if (read > kLongestLine && !line.endsWith('\n')) {
            // The rest of an overlong line, read and dropped.
            for (qint64 more = read; more > 0 && buffer_.at(more - 1) != '\n';) {
                more = device_.readLine(buffer_.data(), buffer_.size());
            }
            return ListLine{number_, {}, LineTooLong(kLongestLine)};
        }
        if (line.endsWith('\n')) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(line);
        if (decoder.hasError()) return ListLine{number_, {}, kNotUtf8};
        if (Blank(text)) continue;
        return ListLine{number_, text, {}};
    }
}

}  // namespace tallyline::commandline
