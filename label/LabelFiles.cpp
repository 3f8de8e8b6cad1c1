#include "label/LabelFiles.h"

#include <QFileInfo>

#include <stdexcept>

#include "design/ErrorTexts.h"
#include "label/BarcodePicture.h"
#include "platform/core/RuntimeError.h"
#include "platform/files/PngEncoder.h"
#include "platform/files/VectorFiles.h"
#include "platform/files/WholeFile.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtColour.h"

namespace tallyline {

QByteArray LabelFile(const PictureSurface& surface, const FileSettings& settings) {
    const double millimetresPerPixel = settings.moduleMillimetres
                                           ? *settings.moduleMillimetres / ModulePixels(surface)
                                           : kDesignMillimetresPerPixel;
    const QMargins quietZone = QuietZoneMargins(ModulePixels(surface), settings.quietZone);
    switch (settings.format) {
    case PictureFormat::Png:
        return EncodePng(surface.PixelView(), settings.scale, quietZone, PixelOf(surface.BackColor()));
    case PictureFormat::Svg: return SvgFile(surface.Shapes(), millimetresPerPixel, quietZone);
    case PictureFormat::Pdf: return PdfFile(surface.Shapes(), millimetresPerPixel, quietZone);
    }
    throw RuntimeError(ErrorNumber::InvalidProcedureCall);
}

QSize PngSizeOf(const PictureSurface& surface, const FileSettings& settings) {
    return PngSize(surface.PixelSize(), settings.scale, QuietZoneMargins(ModulePixels(surface), settings.quietZone));
}

void SaveLabel(const PictureSurface& surface, const QString& path) {
    const auto format = FormatOfName(path);
    if (!format) {
        throw std::invalid_argument(
            design::UnknownFormatNote(QFileInfo(path).fileName(), DottedSuffixList()).toStdString());
    }
    FileSettings settings;
    settings.format = *format;
    WriteWholeFile(path, LabelFile(surface, settings));
}

}  // namespace tallyline
