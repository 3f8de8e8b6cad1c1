#include "PictureFiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>

#include "FileError.h"
#include "PictureSurface.h"
#include "RuntimeError.h"
#include "Units.h"
#include "VectorCanvas.h"

namespace tallyline {
namespace {

// SVG sizes are written in micrometres: whole ones keep a picture's size on
// paper within a micrometre, while its units stay the shapes' own pixels.
constexpr int kMicrometresPerMillimetre = 1000;
constexpr int kSvgDotsPerInch = static_cast<int>(kMillimetresPerInch * kMicrometresPerMillimetre);
// Enough for any edge to land within a thousandth of a pixel at any scale.
constexpr int kPdfDotsPerInch = 9600;

const char* ImageFormatOf(PictureFormat format) {
    switch (format) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Svg: return "svg";
    case PictureFormat::Pdf: return "pdf";
    }
    return "";
}

QImage Enlarged(const QImage& image, int scale) {
    if (scale == 1) return image;
    QImage enlarged = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (enlarged.isNull()) throw RuntimeError(ErrorNumber::OutOfMemory);
    enlarged.setDotsPerMeterX(image.dotsPerMeterX() * scale);
    enlarged.setDotsPerMeterY(image.dotsPerMeterY() * scale);
    return enlarged;
}

}  // namespace

std::optional<PictureFormat> FormatOfName(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const PictureFormat format : {PictureFormat::Png, PictureFormat::Svg, PictureFormat::Pdf}) {
        if (suffix == QLatin1String(ImageFormatOf(format))) return format;
    }
    return std::nullopt;
}

QString SuffixOf(PictureFormat format) { return QString::fromLatin1(ImageFormatOf(format)); }

QByteArray PngFile(const QImage& image, int scale) {
    QImage enlarged = Enlarged(image, scale);
    // A barcode is black, white and the greys of its caption's edges: one
    // byte a pixel says it all and is a third of the work to compress.
    if (enlarged.allGray()) enlarged = enlarged.convertToFormat(QImage::Format_Grayscale8);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(enlarged)) throw RuntimeError(ErrorNumber::OutOfMemory, writer.errorString().toStdString());
    return bytes;
}

QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize extent = shapes.Extent();
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(kSvgDotsPerInch);
    const double micrometres = millimetresPerPixel * kMicrometresPerMillimetre;
    generator.setSize(QSize(static_cast<int>(std::lround(extent.width() * micrometres)),
                            static_cast<int>(std::lround(extent.height() * micrometres))));
    generator.setViewBox(QRect(QPoint(), extent));
    {
        QPainter painter(&generator);
        shapes.Paint(painter);
    }
    // The one thing the generator cannot say: edges stay on whole units
    // rather than being smoothed across a device pixel.
    const QByteArray root = "<svg";
    const qsizetype at = bytes.indexOf(root);
    if (at >= 0) bytes.insert(at + root.size(), " shape-rendering=\"crispEdges\"");
    return bytes;
}

QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize extent = shapes.Extent();
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Tallyline"));
    writer.setResolution(kPdfDotsPerInch);
    writer.setPageMargins(QMarginsF());
    writer.setPageSize(QPageSize(QSizeF(extent) * millimetresPerPixel, QPageSize::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) throw RuntimeError(ErrorNumber::OutOfMemory, "The PDF could not be started");
    const double scale = kPdfDotsPerInch * millimetresPerPixel / kMillimetresPerInch;
    painter.scale(scale, scale);
    shapes.Paint(painter);
    painter.end();
    return bytes;
}

QByteArray PictureFile(const PictureSurface& surface, PictureFormat format, int scale, double millimetresPerPixel) {
    switch (format) {
    case PictureFormat::Png: return PngFile(surface.Image().Image(), scale);
    case PictureFormat::Svg: return SvgFile(surface.Shapes(), millimetresPerPixel);
    case PictureFormat::Pdf: return PdfFile(surface.Shapes(), millimetresPerPixel);
    }
    throw RuntimeError(ErrorNumber::InvalidProcedureCall);
}

void WriteWholeFile(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw FileError(path, file.errorString());
    if (file.write(contents) != contents.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError(path, reason);
    }
    if (!file.commit()) throw FileError(path, file.errorString());
}

}  // namespace tallyline
