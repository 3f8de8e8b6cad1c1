// A batch's list as hostile bytes: every line is read or named as bad, and
// every file name handed out stays inside its folder, visible and short.
#include <QBuffer>
#include <QSet>

#include <cstdlib>

#include "commandline/LineReader_p.h"
#include "label/SafeFileNames.h"

using namespace tallyline;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray list(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&list);
    device.open(QIODevice::ReadOnly);
    commandline::LineReader reader(device);
    FileNamer namer(QStringLiteral("png"));
    QSet<QString> names;
    qint64 last = 0;
    while (const auto line = reader.Next()) {
        if (line->number <= last || line->text.isEmpty() == line->problem.isEmpty()) std::abort();
        last = line->number;
        if (!line->problem.isEmpty()) continue;
        const QString name = namer.Next(line->text);
        const bool safe = !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') &&
                          !name.contains(u'\\') && name.toUtf8().size() <= 255 && !names.contains(name.toLower());
        if (!safe) std::abort();
        names.insert(name.toLower());
    }
    return 0;
}
