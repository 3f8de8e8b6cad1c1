#include "commandline/LineReader_p.h"

#include <QFileDevice>
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

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

}  // namespace

bool LineReader::Read(qint64& read) {
    if (!failure_.isEmpty()) return false;
    read = device_.readLine(buffer_.data(), buffer_.size());
    // A file that fails part-way is no shorter list: what came before the
    // failure is not a line of it.
    const auto* file = qobject_cast<const QFileDevice*>(&device_);
    if (file && file->error() != QFileDevice::NoError) {
        failure_ = file->errorString();
        return false;
    }
    return read > 0;
}

std::optional<ListLine> LineReader::Next() {
    for (qint64 read = 0; Read(read);) {
        ++number_;
        QByteArrayView line(buffer_.constData(), read);
        const bool ended = line.endsWith('\n');
        if (ended) line.chop(1);
        if (line.endsWith('\r')) line.chop(1);
        // A whole line fits the buffer with its end; a longer one does not.
        if (line.size() > kLongestLine) {
            for (qint64 more = read; more > 0 && !ended && buffer_.at(more - 1) != '\n';) {
                if (!Read(more)) break;
            }
            if (!failure_.isEmpty()) return std::nullopt;
            return ListLine{number_, {}, LineTooLong(kLongestLine)};
        }
        if (number_ == 1 && line.startsWith(kByteOrderMark)) line = line.sliced(kByteOrderMark.size());
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                         QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder.decode(line);
        if (decoder.hasError()) return ListLine{number_, {}, kNotUtf8};
        if (Blank(text)) continue;
        return ListLine{number_, text, {}};
    }
    return std::nullopt;
}

}  // namespace tallyline::commandline
