#include "platform/files/PictureFormats.h"

#include <QFileInfo>

#include <iterator>

namespace tallyline {
namespace {

const PictureFormatName* NameOf(PictureFormat format) {
    for (const PictureFormatName& name : kPictureFormats) {
        if (name.format == format) return &name;
    }
    return nullptr;
}

}  // namespace

std::optional<PictureFormat> FormatOfSuffix(const QString& suffix) {
    for (const PictureFormatName& name : kPictureFormats) {
        if (suffix == QLatin1String(name.suffix)) return name.format;
    }
    return std::nullopt;
}

std::optional<PictureFormat> FormatOfName(const QString& fileName) {
    return FormatOfSuffix(QFileInfo(fileName).suffix().toLower());
}

QString SuffixOf(PictureFormat format) {
    const PictureFormatName* name = NameOf(format);
    return name ? QString::fromLatin1(name->suffix) : QString();
}

QString SaveFilterOf(PictureFormat format) {
    const PictureFormatName* name = NameOf(format);
    return name ? QStringLiteral("%1 (*.%2)").arg(QLatin1String(name->kind), QLatin1String(name->suffix)) : QString();
}

QString ListOfFormats(const std::function<QString(PictureFormat)>& name) {
    constexpr std::size_t count = std::size(kPictureFormats);
    QString list;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) list += i + 1 == count ? QStringLiteral(" or ") : QStringLiteral(", ");
        list += name(kPictureFormats[i].format);
    }
    return list;
}

QString SuffixList() { return ListOfFormats(SuffixOf); }

QString DottedSuffixList() {
    return ListOfFormats([](PictureFormat format) { return QLatin1Char('.') + SuffixOf(format); });
}

}  // namespace tallyline
