#include "label/SafeFileNames.h"

#include <QRegularExpression>

namespace tallyline {
namespace {

// Room for the suffix and a clash number within the 255 bytes a name may take.
constexpr qsizetype kLongestStem = 200;
const QString kUnnamed = QStringLiteral("barcode");

bool Kept(QChar character) {
    const char16_t code = character.unicode();
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z') ||
           code == u'-' || code == u'_' || code == u'.' || code == u'+';
}

// Names that some systems give to devices in every folder, with any suffix.
bool NamesDevice(const QString& stem) {
    static const QRegularExpression devices(QStringLiteral("^(con|prn|aux|nul|com[0-9]|lpt[0-9])(\\..*)?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return devices.match(stem).hasMatch();
}

}  // namespace

QString SafeFileStem(const QString& text) {
    QString stem;
    for (const QChar character : text.left(kLongestStem)) {
        // A pair of surrogates is one character and becomes one "_".
        if (character.isLowSurrogate()) continue;
        stem.append(Kept(character) ? character : QChar(u'_'));
    }
    if (stem.isEmpty()) return kUnnamed;
    if (stem.startsWith(QChar(u'.'))) stem[0] = QChar(u'_');
    if (NamesDevice(stem)) stem.prepend(QChar(u'_'));
    return stem;
}

QString FileNamer::Next(const QString& text) {
    const QString stem = SafeFileStem(text);
    QString name = stem + QChar(u'.') + suffix_;
    for (int number = 2; taken_.contains(name.toLower()); ++number) {
        name = QStringLiteral("%1-%2.%3").arg(stem).arg(number).arg(suffix_);
    }
    taken_.insert(name.toLower());
    return name;
}

}  // namespace tallyline
