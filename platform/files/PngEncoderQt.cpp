#include "platform/files/PngEncoder.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/core/RuntimeError.h"

// Without libpng's headers the toolkit's writer serves: the same pixels, in
// its own choice of filters and compression.
namespace tallyline {

QByteArray EncodePng(const QImage& image, int scale) {
    if (image.isNull() || scale < 1) throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    QImage stored = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
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
