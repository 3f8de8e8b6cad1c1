#include "platform/picture/PictureSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include <QPainter>

#include "platform/core/Failures.h"
#include "platform/picture/QtColour.h"

namespace tallyline {
namespace {

// The platform keeps positions and sizes in 16 bits.
constexpr int kLowestPixel = std::numeric_limits<std::int16_t>::min();
constexpr int kHighestPixel = std::numeric_limits<std::int16_t>::max();

// Clamped, so that a pen driven far out never turns into an out-of-range conversion.
float ToFloat(double value) noexcept {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

// A position in the current scale as pixels.
double ToPixels(float units, ScaleModeKind mode) noexcept { return units / UnitsPerPixel(mode); }

struct Span {
    int first;
    int end;
};

// The pixels whose centres lie in [min(a, b), max(a, b)): boxes that share an
// edge then never overlap, and a box from 2 to 4 covers exactly 2 and 3.
inline Span Covered(double a, double b, int limit) noexcept {
    if (std::isnan(a) || std::isnan(b)) return {0, 0};
    const auto pixel = [limit](double edge) {
        // Clamped before rounding up, which then needs no general ceil: this
        // runs for both edges of every box.
        const double clamped = std::clamp(edge - 0.5, 0.0, static_cast<double>(limit));
        const int whole = static_cast<int>(clamped);
        return whole < clamped ? whole + 1 : whole;
    };
    return {pixel(std::min(a, b)), pixel(std::max(a, b))};
}

}  // namespace

PictureSurface::PictureSurface(Keeping keeping) : keepsShapes_(keeping != Keeping::Pixels) {
    if (keeping != Keeping::Shapes) pixels_.emplace();
}

int PictureSurface::Pixels(float twips) {
    const double pixels = NearestPixel(twips);
    if (!(pixels >= kLowestPixel && pixels <= kHighestPixel)) throw SizeOutOfRange();
    return static_cast<int>(pixels);
}

int PictureSurface::PixelExtent(float twips) {
    if (!(twips >= 0)) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    return Pixels(twips);
}

void PictureSurface::Height(float height) { Resize(QSize(size_.width(), PixelExtent(height))); }

void PictureSurface::BackColor(Colour colour) {
    backColor_ = colour;
    LayBackground();
}

StdPicture PictureSurface::Image() const { return pixels_ ? StdPicture(pixels_->Image()) : StdPicture(); }

QImage PictureSurface::PixelView() const { return pixels_ ? pixels_->View() : QImage(); }

void PictureSurface::ScaleMode(ScaleModeKind mode) { scaleMode_ = ValidScaleMode(mode); }

float PictureSurface::Width() const { return static_cast<float>(size_.width() * kTwipsPerPixel); }

void PictureSurface::Width(float width) { Resize(QSize(PixelExtent(width), size_.height())); }

float PictureSurface::ScaleWidth() const { return ToFloat(size_.width() * UnitsPerPixel(scaleMode_)); }
float PictureSurface::ScaleHeight() const { return ToFloat(size_.height() * UnitsPerPixel(scaleMode_)); }

void PictureSurface::Cls() {
    LayBackground();
    penX_ = 0;
    penY_ = 0;
}

// No background picture is ever laid, so none is left to take away.
void PictureSurface::RemovePicture() { LayBackground(); }

void PictureSurface::Line(float x1, float y1, float x2, float y2, Colour colour) {
    const Span columns = Covered(ToPixels(x1, scaleMode_), ToPixels(x2, scaleMode_), size_.width());
    const double top = ToPixels(y1, scaleMode_);
    const double bottom = ToPixels(y2, scaleMode_);
    if (top != rows_.top || bottom != rows_.bottom || size_.height() != rows_.height) {
        const Span covered = Covered(top, bottom, size_.height());
        rows_ = Rows{top, bottom, size_.height(), covered.first, covered.end};
    }
    if (columns.first >= columns.end || rows_.first >= rows_.end) return;
    const QRgb pixel = PixelOf(colour);
    if (pixels_ && pixels_->Fill(columns.first, rows_.first, columns.end, rows_.end, pixel)) Repainted();
    if (keepsShapes_) shapes_.Fill(columns.first, rows_.first, columns.end, rows_.end, pixel);
}

float PictureSurface::TextWidth(TextView text) const {
    return ToFloat(layouts_.Layout(text, font_)->Advance() * UnitsPerPixel(scaleMode_));
}

float PictureSurface::TextHeight(TextView) const {
    return ToFloat(DesignMetrics(font_).height() * UnitsPerPixel(scaleMode_));
}

float PictureSurface::CurrentX() const { return ToFloat(penX_ * UnitsPerPixel(scaleMode_)); }
void PictureSurface::CurrentX(float x) { penX_ = ToPixels(x, scaleMode_); }
float PictureSurface::CurrentY() const { return ToFloat(penY_ * UnitsPerPixel(scaleMode_)); }
void PictureSurface::CurrentY(float y) { penY_ = ToPixels(y, scaleMode_); }

void PictureSurface::Print(TextView text) {
    const QFontMetricsF metrics = DesignMetrics(font_);
    const bool nearby = std::abs(penX_) <= kFarthestPixel && std::abs(penY_) <= kFarthestPixel;
    if (nearby && !size_.isEmpty()) {
        const auto laidOut = layouts_.Layout(text, font_);
        const QPointF origin(penX_, penY_ + metrics.ascent());
        const QRgb pixel = PixelOf(foreColor_);
        if (pixels_) pixels_->Draw(*laidOut, origin, pixel);
        if (keepsShapes_) shapes_.Draw(laidOut, origin, pixel);
    }
    penX_ = 0;
    penY_ += metrics.height();
    Repainted();
}

void PictureSurface::Resize(QSize size) {
    // The pixels first: they are the one step that can fail.
    if (pixels_) pixels_->Resize(size);
    if (keepsShapes_) shapes_.Resize(size);
    size_ = size;
    Resized();
}

void PictureSurface::PaintPixels(QPainter& painter, QSize area) const {
    if (!pixels_ || pixels_->Extent() != area) painter.fillRect(QRect(QPoint(), area), ToQColor(backColor_));
    if (pixels_) pixels_->Paint(painter);
}

void PictureSurface::LayBackground() {
    const QRgb background = PixelOf(backColor_);
    if (pixels_) pixels_->Clear(size_, background);
    if (keepsShapes_) shapes_.Clear(size_, background);
    Repainted();
}

}  // namespace tallyline
