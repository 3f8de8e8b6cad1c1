#include "platform/picture/RasterCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/picture/LaidOutText.h"

namespace tallyline {
namespace {

// Room for an image, its pixels not yet laid.
QImage Storage(QSize size) {
    if (size.isEmpty()) return QImage();
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) throw RuntimeError(ErrorNumber::OutOfMemory);
    image.setDotsPerMeterX(kDesignDotsPerMeter);
    image.setDotsPerMeterY(kDesignDotsPerMeter);
    return image;
}

// Copies the top row of the rectangle into the rows below it.
void CopyDown(QImage& image, const QRect& rect) {
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const qsizetype left = rect.left() * qsizetype{sizeof(QRgb)};
    const auto bytes = static_cast<std::size_t>(rect.width()) * sizeof(QRgb);
    const uchar* const top = bits + rect.top() * stride + left;
    for (int y = rect.top() + 1; y <= rect.bottom(); ++y) std::memcpy(bits + y * stride + left, top, bytes);
}

void FillRect(QImage& image, const QRect& rect, QRgb colour) {
    if (rect.isEmpty()) return;
    QRgb* const top = reinterpret_cast<QRgb*>(image.scanLine(rect.top())) + rect.left();
    std::fill(top, top + rect.width(), colour);
    CopyDown(image, rect);
}

}  // namespace

QImage RasterCanvas::Image() const {
    Settle();
    return image_.size() == extent_ ? image_ : Fitted(extent_);
}

QImage RasterCanvas::View() const {
    Settle();
    if (image_.size() == extent_ || extent_.isEmpty()) return image_;
    const QImage& stored = image_;
    QImage view(stored.constBits(), extent_.width(), extent_.height(), stored.bytesPerLine(), stored.format());
    view.setDotsPerMeterX(stored.dotsPerMeterX());
    view.setDotsPerMeterY(stored.dotsPerMeterY());
    return view;
}

void RasterCanvas::Paint(QPainter& painter) const {
    Settle();
    // An empty source would stand for the whole image.
    if (!extent_.isEmpty()) painter.drawImage(QPointF(), image_, QRectF(Whole()));
}

void RasterCanvas::Clear(QSize extent, QRgb background) {
    if (!Roomy(extent)) image_ = Storage(extent);
    extent_ = extent;
    background_ = background;
    band_.reset();
    blank_ = true;
}

void RasterCanvas::Resize(QSize extent) {
    if (!Roomy(extent)) {
        image_ = blank_ && !band_ ? Storage(extent) : Fitted(extent);
        extent_ = extent;
        return;
    }
    if (!blank_) PaintBackground(image_, QRect(QPoint(), extent), Whole());
    extent_ = extent;
    if (band_) {
        band_->bottom = std::min(band_->bottom, extent.height());
        band_->right = std::min(band_->right, extent.width());
        if (band_->top >= band_->bottom || band_->left >= band_->right) band_.reset();
    }
}

bool RasterCanvas::Fill(int left, int top, int right, int bottom, QRgb colour) {
    // Only an image lost to a failed allocation is smaller than the surface.
    right = std::min(right, extent_.width());
    bottom = std::min(bottom, extent_.height());
    if (left >= right || top >= bottom) return false;
    // Bars stand side by side over the same rows and are mostly a few pixels
    // wide: drawing only their top row and copying that row down once for the
    // whole run saves a short fill per row of every bar.
    const bool joins =
        band_ && band_->top == top && band_->bottom == bottom && left <= band_->right && right >= band_->left;
    if (!joins) StartBand(Band{top, bottom, left, right, nullptr});
    std::fill(band_->row + left, band_->row + right, colour);
    band_->left = std::min(band_->left, left);
    band_->right = std::max(band_->right, right);
    return !joins;
}

void RasterCanvas::Draw(const LaidOutText& text, QPointF origin, QRgb colour) {
    if (extent_.isEmpty()) return;
    Settle();
    QPainter painter(&image_);
    painter.setPen(QColor::fromRgb(colour));
    text.Draw(painter, origin);
}

void RasterCanvas::StartBand(Band band) {
    // On a blank image the background is laid later, around the band.
    if (band_) Settle();
    // Copies the image first if an earlier Image() still shares it; a failed
    // copy leaves no image at all.
    band.row = reinterpret_cast<QRgb*>(image_.scanLine(band.top));
    if (band.row == nullptr) {
        extent_ = QSize();
        throw RuntimeError(ErrorNumber::OutOfMemory);
    }
    band_ = band;
}

void RasterCanvas::Settle() const {
    if (std::exchange(blank_, false)) PaintBackground(image_, Whole(), band_ ? band_->Area() : QRect());
    if (const auto band = std::exchange(band_, std::nullopt)) CopyDown(image_, band->Area());
}

void RasterCanvas::PaintBackground(QImage& image, const QRect& area, const QRect& hole) const {
    const QRect kept = area & hole;
    if (kept.isEmpty()) {
        FillRect(image, area, background_);
    } else {
        // The rows above and below the hole and the columns either side of
        // it, rather than a region with its allocations.
        for (const QRect& part : {QRect(area.topLeft(), QPoint(area.right(), kept.top() - 1)),
                                  QRect(QPoint(area.left(), kept.bottom() + 1), area.bottomRight()),
                                  QRect(QPoint(area.left(), kept.top()), QPoint(kept.left() - 1, kept.bottom())),
                                  QRect(QPoint(kept.right() + 1, kept.top()), QPoint(area.right(), kept.bottom()))}) {
            FillRect(image, part, background_);
        }
    }
}

QImage RasterCanvas::Fitted(QSize size) const {
    Settle();
    QImage fitted = Storage(size);
    const QRect kept = Whole() & QRect(QPoint(), size);
    const auto bytes = static_cast<std::size_t>(kept.width()) * sizeof(QRgb);
    for (int y = 0; y < kept.height(); ++y) std::memcpy(fitted.scanLine(y), image_.constScanLine(y), bytes);
    PaintBackground(fitted, fitted.rect(), kept);
    return fitted;
}

bool RasterCanvas::Roomy(QSize size) const {
    const qint64 area = qint64{size.width()} * size.height();
    const qint64 room = qint64{image_.width()} * image_.height();
    // Pixels that an earlier Image() shares are not written in place: Qt
    // would copy them all first, unchecked. A box that shrinks far gives its
    // memory back.
    return image_.rect().contains(QRect(QPoint(), size)) && image_.isDetached() && 4 * area >= room;
}

}  // namespace tallyline
