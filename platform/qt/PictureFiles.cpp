#include "platform/qt/PictureFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>

#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/qt/FileError_p.h"
#include "platform/qt/PictureSurface.h"
#include "platform/qt/PngEncoder_p.h"
#include "platform/qt/VectorCanvas.h"

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

QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize extent = shapes.Extent();
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setTitle(QStringLiteral("Barcode"));
    generator.setDescription(QStringLiteral("Code 39, drawn by Tallyline"));
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
    case PictureFormat::Png: return EncodePng(surface.PixelView(), scale);
    case PictureFormat::Svg: return SvgFile(surface.Shapes(), millimetresPerPixel);
    case PictureFormat::Pdf: return PdfFile(surface.Shapes(), millimetresPerPixel);
    }
    throw RuntimeError(ErrorNumber::InvalidProcedureCall);
}

namespace {

// Writes all of the contents, or returns false with the device's reason. The
// device must be unbuffered: a buffered write that the disk refuses fails
// only when the file is closed, and neither QSaveFile::commit() nor
// QFile::remove() reports that, so a full disk left an empty file called
// written. A short write is followed by another, which names the reason.
bool WriteAll(QFileDevice& file, const QByteArray& contents) {
    for (qint64 written = 0; written < contents.size();) {
        const qint64 step = file.write(contents.constData() + written, contents.size() - written);
        if (step <= 0) return false;
        written += step;
    }
    return true;
}

constexpr QIODevice::OpenMode kWriteThrough = QIODevice::WriteOnly | QIODevice::Unbuffered;

}  // namespace

void WriteWholeFile(const QString& path, const QByteArray& contents, Writing writing) {
    if (writing == Writing::Quickly) {
        QFile file(path);
        if (file.open(kWriteThrough | QIODevice::NewOnly)) {
            if (WriteAll(file, contents)) return;
            const QString reason = file.errorString();
            file.close();
            QFile::remove(path);
            throw FileError(path, reason);
        }
    }
    // Writing through a link would put the file wherever the link points.
    if (QFileInfo(path).isSymLink()) throw FileError(path, QStringLiteral("it is a symbolic link"));
    QSaveFile file(path);
    if (!file.open(kWriteThrough)) throw FileError(path, file.errorString());
    if (!WriteAll(file, contents)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileError(path, reason);
    }
    if (!file.commit()) throw FileError(path, file.errorString());
}

}  // namespace tallyline
