#include "label/SafeFileNames.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include "platform/core/CodePage.h"
#include "platform/picture/QtText.h"

namespace tallyline {
namespace {

// Room for a suffix within the 255 bytes a name may take.
constexpr qsizetype kLongestStem = 200;
constexpr qsizetype kHashDigits = 16;
const QString kUnnamed = QStringLiteral("barcode");

// Not lower case: a file system that ignores case would take a name that
// differs in case alone for the same name. Not "~" either, which Qt keeps, as
// web addresses do: here it comes before a long name's hash only.
const QByteArray kEscapedToo = "~abcdefghijklmnopqrstuvwxyz";

// The stem with its first byte escaped, whatever that byte is.
QByteArray FirstEscaped(const QByteArray& stem) {
    const QByteArray first = stem.left(1);
    return first.toPercentEncoding({}, first) + stem.mid(1);
}

// Names that some systems give to devices in every folder, with any suffix.
bool NamesDevice(const QByteArray& stem) {
    static const QRegularExpression devices(QStringLiteral("^(CON|PRN|AUX|NUL|COM[0-9]|LPT[0-9])(\\..*)?$"));
    return devices.match(QString::fromLatin1(stem)).hasMatch();
}

// The first part of a long stem, cut between escapes, and the hash of the
// whole text, which no short stem has: "~" is always escaped.
QByteArray Shortened(const QByteArray& stem, const QByteArray& drawn) {
    qsizetype cut = kLongestStem - 1 - kHashDigits;
    // "%" always starts an escape: "%" itself is escaped as "%25".
    if (stem.at(cut - 1) == '%') {
        cut -= 1;
    } else if (stem.at(cut - 2) == '%') {
        cut -= 2;
    }
    const QByteArray hash = QCryptographicHash::hash(drawn, QCryptographicHash::Sha256).left(kHashDigits / 2);
    return stem.left(cut) + '~' + hash.toHex().toUpper();
}

}  // namespace

QString SafeFileStem(const QString& text, bool fullAscii) {
    if (text.isEmpty()) return kUnnamed;
    // Lower case drawn as capitals: the same bars, the same name.
    const QByteArray drawn = (fullAscii ? text : ToQString(codepage::UCase(ToText(text)))).toUtf8();
    QByteArray stem = drawn.toPercentEncoding({}, kEscapedToo);
    if (stem.startsWith('.') || NamesDevice(stem)) stem = FirstEscaped(stem);
    if (stem.size() > kLongestStem) stem = Shortened(stem, drawn);
    return QString::fromLatin1(stem);
}

}  // namespace tallyline
