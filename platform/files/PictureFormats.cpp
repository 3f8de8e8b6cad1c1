#include "platform/files/PictureFormats.h"

#include <QFileInfo>

namespace tallyline {
namespace {

const char* ImageFormatOf(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Svg: return "svg";
    case PictureFormat::Pdf: return "pdf";
    }
    return "";
}

}  // namespace

std::optional<PictureFormat> FormatOfSuffix(const QString& suffix) {
    for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Svg, PictureFormat::Pdf}) {
        if (suffix == QLatin1String(ImageFormatOf(format))) return format;
    }
    return std::nullopt;
}

std::optional<PictureFormat> FormatOfName(const QString& fileName) {
    return FormatOfSuffix(QFileInfo(fileName).suffix().toLower());
}

QString SuffixOf(PictureFormat format) { return QString::fromLatin1(ImageFormatOf(format)); }

}  // namespace tallyline
