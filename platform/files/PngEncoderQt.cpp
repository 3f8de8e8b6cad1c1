#include "platform/files/PngEncoder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

#include "platform/core/RuntimeError.h"

// Without libpng's headers the toolkit's writer serves: the same pixels, in
// its own choice of filters and compression.
namespace tallyline {

QByteArray EncodePng(const QImage& image, int scale, const QMargins& margins, QRgb background) {
    const bool outward = margins.left() >= 0 && margins.top() >= 0 && margins.right() >= 0 && margins.bottom() >= 0;
    if (image.isNull() || scale < 1 || !outward) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    QImage padded(image.size().grownBy(margins), QImage::Format_RGB32);
    if (padded.isNull()) throw RuntimeError(ErrorNumber::OutOfMemory);
    padded.fill(background);
    QPainter(&padded).drawImage(margins.left(), margins.top(), image);
    QImage stored = padded.scaled(padded.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (stored.isNull()) throw RuntimeError(ErrorNumber::OutOfMemory);
    stored.setDotsPerMeterX(image.dotsPerMeterX() * scale);
    stored.setDotsPerMeterY(image.dotsPerMeterY() * scale);
    if (stored.allGray()) stored = stored.convertToFormat(QImage::Format_Grayscale8);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "png").write(stored)) throw RuntimeError(ErrorNumber::OutOfMemory);
    return bytes;
}

}  // namespace tallyline
