#include "label/LabelFiles.h"

#include <QFileInfo>

#include <cmath>
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

namespace {

// Tenths of the module: the ratio of an SVG or a PDF without a grid to a tenth.
constexpr int kUnitsPerModule = 10;

}  // namespace

std::optional<FileGrid> GridOf(const FileSettings& settings) {
    const SymbolRules& symbol = settings.symbol;
    const bool png = settings.format == PictureFormat::Png;
    // A PNG keeps the window's pixel without a grid, whatever module is asked.
    const double module = png && !settings.dotsPerInch ? DesignModuleMillimetres()
                                                       : symbol.moduleMillimetres.value_or(DesignModuleMillimetres());
    const bool windowRatio = RatioFor(module, symbol.ratio) == kNarrowestRatio;
    if (!settings.dotsPerInch && !symbol.turn && windowRatio && !symbol.barMillimetres && symbol.caption) {
        return std::nullopt;
    }
    FileGrid grid{};
    int narrow = kUnitsPerModule;
    if (settings.dotsPerInch) {
        grid.millimetresPerPixel = kMillimetresPerInch / *settings.dotsPerInch;
        narrow = symbol.WidestModule(*settings.dotsPerInch);
    } else if (png) {
        grid.millimetresPerPixel = kDesignMillimetresPerPixel;
        narrow = DesignModulePixels();
    } else {
        grid.millimetresPerPixel = module / kUnitsPerModule;
    }
    grid.look = UnboundedLook(narrow, grid.millimetresPerPixel, symbol, settings.quietZone);
    grid.turn = symbol.turn.value_or(Turn::None);
    return grid;
}

QByteArray LabelFile(const PictureSurface& surface, const FileSettings& settings, const FileGrid& grid) {
    switch (settings.format) {
    case PictureFormat::Png: {
        QImage image = surface.PixelView();
        if (grid.turn != Turn::None) image = image.transformed(TurnedInPlace(image.size(), grid.turn));
        if (settings.dotsPerInch) {
            const int dotsPerMetre = static_cast<int>(std::lround(*settings.dotsPerInch * 1000 / kMillimetresPerInch));
            image.setDotsPerMeterX(dotsPerMetre);
            image.setDotsPerMeterY(dotsPerMetre);
        }
        return EncodePng(image, settings.scale, QMargins(), PixelOf(surface.BackColor()));
    }
    case PictureFormat::Svg: return SvgFile(surface.Shapes(), grid.millimetresPerPixel, QMargins(), grid.turn);
    case PictureFormat::Pdf:
        // Bars may reach its edges (turned, without a caption): none is cut.
        return PdfFile(surface.Shapes(), grid.millimetresPerPixel, QMargins(), grid.turn, PdfPage::Around);
    }
    throw RuntimeError(ErrorNumber::InvalidProcedureCall);
}

QByteArray LabelFile(const PictureSurface& surface, const FileSettings& settings) {
    const double millimetresPerPixel = settings.symbol.moduleMillimetres
                                           ? *settings.symbol.moduleMillimetres / ModulePixels(surface)
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
