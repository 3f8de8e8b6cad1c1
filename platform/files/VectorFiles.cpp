#include "platform/files/VectorFiles.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/picture/VectorCanvas.h"

namespace tallyline {
namespace {

// SVG sizes are written in micrometres: whole ones keep a picture's size on
// paper within a micrometre, while its units stay the shapes' own pixels.
constexpr int kMicrometresPerMillimetre = 1000;
constexpr int kSvgDotsPerInch = static_cast<int>(kMillimetresPerInch * kMicrometresPerMillimetre);
// Enough for any edge to land within a thousandth of a pixel at any scale.
constexpr int kPdfDotsPerInch = 9600;
// The widest page that PDF readers take without a user unit: 200 inches.
constexpr double kLargestPdfPageMillimetres = 200 * kMillimetresPerInch;

}  // namespace

QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize extent = shapes.Extent().grownBy(margins);
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
        painter.translate(margins.left(), margins.top());
        shapes.Paint(painter, margins);
    }
    // The one thing the generator cannot say: edges stay on whole units
    // rather than being smoothed across a device pixel.
    const QByteArray root = "<svg";
    const qsizetype at = bytes.indexOf(root);
    if (at >= 0) bytes.insert(at + root.size(), " shape-rendering=\"crispEdges\"");
    return bytes;
}

QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize extent = shapes.Extent().grownBy(margins);
    const double widest = std::max(extent.width(), extent.height()) * millimetresPerPixel;
    if (widest > kLargestPdfPageMillimetres) {
        throw std::length_error(QStringLiteral("too large for a PDF page: %1 mm, where PDF readers take at most %2 mm")
                                    .arg(std::ceil(widest))
                                    .arg(kLargestPdfPageMillimetres)
                                    .toStdString());
    }
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Tallyline"));
    writer.setResolution(kPdfDotsPerInch);
    writer.setPageMargins(QMarginsF());
    writer.setPageSize(QPageSize(QSizeF(extent) * millimetresPerPixel, QPageSize::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) throw RuntimeError(ErrorNumber::OutOfMemory, "The PDF could not be started");
    const double scale = kPdfDotsPerInch * millimetresPerPixel / kMillimetresPerInch;
    painter.scale(scale, scale);
    painter.translate(margins.left(), margins.top());
    shapes.Paint(painter, margins);
    painter.end();
    return bytes;
}

}  // namespace tallyline
