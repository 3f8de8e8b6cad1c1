// A batch's list as hostile bytes: every line is read or named as bad, and
// every file name made from a text stays inside its folder, visible, short,
// and a name of that text alone.
#include <QHash>

#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#include "commandline/LineReader_p.h"
#include "label/SafeFileNames.h"
#include "platform/core/CodePage.h"
#include "platform/picture/QtText.h"

using namespace tallyline;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int descriptor = memfd_create("list", MFD_CLOEXEC);
    if (descriptor < 0 || write(descriptor, data, size) != static_cast<ssize_t>(size) ||
        lseek(descriptor, 0, SEEK_SET) != 0) {
        std::abort();
    }
    commandline::LineReader reader(descriptor, commandline::LineReader::Ownership::Owned);
    // The names of this input's texts, folded as a file system that ignores
    // case folds them, with the text drawn under each: not kept from one input
    // to the next, which would grow without end.
    QHash<QString, QString> names;
    qint64 last = 0;
    while (const auto line = reader.Next()) {
        if (line->number <= last || line->text.isEmpty() == line->problem.isEmpty()) std::abort();
        last = line->number;
        if (!line->problem.isEmpty()) continue;
        const QString name = SafeFileStem(line->text) + QStringLiteral(".png");
        const bool safe = !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\') &&
                          name.toUtf8().size() <= 255;
        const QString drawn = ToQString(codepage::UCase(ToText(line->text)));
        const auto other = names.constFind(name.toLower());
        if (!safe || (other != names.cend() && *other != drawn)) std::abort();
        names.insert(name.toLower(), drawn);
    }
    return 0;
}
