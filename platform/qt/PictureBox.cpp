#include "PictureBox.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "Guarded.h"
#include "InputMasks.h"
#include "QtColour.h"
#include "QtText.h"
#include "RuntimeError.h"

namespace tallyline {
namespace {

// The platform keeps positions and sizes in 16 bits.
constexpr int kLowestPixel = std::numeric_limits<std::int16_t>::min();
constexpr int kHighestPixel = std::numeric_limits<std::int16_t>::max();
// Text far off the image draws nothing, and keeping it out of the painter
// keeps its fixed-point arithmetic from overflowing.
constexpr double kFarthestPen = 1 << 20;
constexpr double kInchesPerMeter = 1 / 0.0254;
constexpr int kDotsPerMeter = static_cast<int>(96 * kInchesPerMeter + 0.5);

// Nearest pixel, ties to the even one, as the platform converts everywhere.
int Pixels(float twips) {
    const double pixels = std::nearbyint(static_cast<double>(twips) / kTwipsPerPixel);
    if (!(pixels >= kLowestPixel && pixels <= kHighestPixel)) {
        throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    }
    return static_cast<int>(pixels);
}

int PixelExtent(float twips) {
    if (!(twips >= 0)) throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    return Pixels(twips);
}

// Clamped, so that a pen driven far out never turns into an out-of-range conversion.
float ToFloat(double value) noexcept {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

// A position in the current scale as pixels. Pixel scale skips the division,
// which changes nothing there and was four of them for every box.
double ToPixels(float units, ScaleModeKind mode) noexcept {
    return mode == ScaleModeKind::Pixels ? units : units / static_cast<double>(kTwipsPerPixel);
}

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

// Room for a persistent image, its pixels not yet laid.
QImage Storage(QSize size) {
    if (size.isEmpty()) return QImage();
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) throw RuntimeError(ErrorNumber::OutOfMemory);
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    return image;
}

// Plain colours go straight to their pixel: building a QColor for every
// box of a barcode cost as much as filling the boxes.
QRgb PixelOf(Colour colour) {
    if (IsSystemColour(colour)) return ToQColor(colour).rgb();
    return qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
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

void Fill(QImage& image, const QRect& rect, QRgb colour) {
    if (rect.isEmpty()) return;
    QRgb* const top = reinterpret_cast<QRgb*>(image.scanLine(rect.top())) + rect.left();
    std::fill(top, top + rect.width(), colour);
    // Copying a row is faster than filling it.
    CopyDown(image, rect);
}

// Text is set at 96 dots per inch whatever the screen says, like everything else.
const QPaintDevice& Typesetter() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(kDotsPerMeter);
        image.setDotsPerMeterY(kDotsPerMeter);
        return image;
    }();
    return device;
}

QFontMetricsF Metrics(const QFont& font) {
    return QFontMetricsF(font, &Typesetter());
}

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    // The box paints every pixel of itself, so the window and the panel
    // beneath it need not be painted first: that was most of a keystroke's
    // repaint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    LayBackground();
}

void PictureBox::Move(float left, float top, float width, float height) {
    Place(QRect(Pixels(left), Pixels(top), PixelExtent(width), PixelExtent(height)));
}

float PictureBox::Height() const { return static_cast<float>(height() * kTwipsPerPixel); }

void PictureBox::Height(float height) {
    Place(QRect(pos(), QSize(width(), PixelExtent(height))));
}

void PictureBox::BackColor(Colour colour) {
    backColor_ = colour;
    LayBackground();
}

void PictureBox::ForeColor(Colour colour) { foreColor_ = colour; }

StdPicture PictureBox::Image() const {
    Settle();
    return StdPicture(image_.size() == size() && extent_ == size() ? image_ : Fitted(size()));
}

void PictureBox::ScaleMode(ScaleModeKind mode) {
    if (mode != ScaleModeKind::Twips && mode != ScaleModeKind::Pixels) {
        throw RuntimeError(ErrorNumber::InvalidPropertyValue);
    }
    scaleMode_ = mode;
}

float PictureBox::Width() const { return static_cast<float>(width() * kTwipsPerPixel); }

void PictureBox::Width(float width) {
    Place(QRect(pos(), QSize(PixelExtent(width), height())));
}

float PictureBox::ScaleLeft() const { return 0; }
float PictureBox::ScaleTop() const { return 0; }
float PictureBox::ScaleWidth() const { return ToFloat(width() * UnitsPerPixel()); }
float PictureBox::ScaleHeight() const { return ToFloat(height() * UnitsPerPixel()); }

void PictureBox::Cls() {
    LayBackground();
    penX_ = 0;
    penY_ = 0;
}

void PictureBox::Picture(const StdPicture* picture) {
    picture_ = picture != nullptr ? *picture : StdPicture();
    LayBackground();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, Colour colour) {
    const Span columns = Covered(ToPixels(x1, scaleMode_), ToPixels(x2, scaleMode_), extent_.width());
    const double top = ToPixels(y1, scaleMode_);
    const double bottom = ToPixels(y2, scaleMode_);
    if (top != rows_.top || bottom != rows_.bottom || extent_.height() != rows_.height) {
        const Span covered = Covered(top, bottom, extent_.height());
        rows_ = Rows{top, bottom, extent_.height(), covered.first, covered.end};
    }
    const Span rows{rows_.first, rows_.end};
    if (columns.first >= columns.end || rows.first >= rows.end) return;
    // Bars stand side by side over the same rows and are mostly a few pixels
    // wide: drawing only their top row and copying that row down once for the
    // whole run saves a short fill per row of every bar.
    const bool joins = band_ && band_->top == rows.first && band_->bottom == rows.end &&
                       columns.first <= band_->right && columns.end >= band_->left;
    if (!joins) StartBand(Band{rows.first, rows.end, columns.first, columns.end, nullptr});
    std::fill(band_->row + columns.first, band_->row + columns.end, PixelOf(colour));
    band_->left = std::min(band_->left, columns.first);
    band_->right = std::max(band_->right, columns.end);
}

void PictureBox::StartBand(Band band) {
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
    // Asking Qt for a repaint cost more than drawing a bar, so a band asks
    // once, for the whole box. Painting settles the band, so a box can join
    // it only while that repaint is still due.
    update();
}

float PictureBox::TextWidth(TextView text) const {
    return ToFloat(Shape(text).advance * UnitsPerPixel());
}

float PictureBox::TextHeight(TextView) const {
    return ToFloat(Metrics(font()).height() * UnitsPerPixel());
}

float PictureBox::CurrentX() const { return ToFloat(penX_ * UnitsPerPixel()); }
void PictureBox::CurrentX(float x) { penX_ = ToPixels(x, scaleMode_); }
float PictureBox::CurrentY() const { return ToFloat(penY_ * UnitsPerPixel()); }
void PictureBox::CurrentY(float y) { penY_ = ToPixels(y, scaleMode_); }

void PictureBox::Print(TextView text) {
    const QFontMetricsF metrics = Metrics(font());
    const bool nearby = std::abs(penX_) <= kFarthestPen && std::abs(penY_) <= kFarthestPen;
    if (nearby && !extent_.isEmpty()) {
        Settle();
        QPainter painter(&image_);
        painter.setPen(ToQColor(foreColor_));
        Shape(text).layout.draw(&painter, QPointF(penX_, penY_ + metrics.ascent()));
    }
    penX_ = 0;
    penY_ += metrics.height();
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    Settle();
    QPainter painter(this);
    // Only an image lost to a failed allocation leaves part of the box uncovered.
    if (extent_ != size()) painter.fillRect(rect(), ToQColor(backColor_));
    // An empty source would stand for the whole image.
    if (!extent_.isEmpty()) painter.drawImage(QPointF(), image_, QRectF(Extent()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const short button = ButtonMask(event->button());
    if (button == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    const double scale = UnitsPerPixel();
    try {
        emit MouseDown(button, ShiftMask(event->modifiers()), ToFloat(event->position().x() * scale),
                       ToFloat(event->position().y() * scale));
    } catch (...) {
        // The window's handlers report their own failures; this only keeps a
        // stray one out of Qt's event loop.
        qWarning("MouseDown: %s", qUtf8Printable(DescribeCurrentException()));
    }
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (extent_ == size()) return;
    try {
        Refit(size());
    } catch (...) {
        // Keeping the smaller image loses nothing drawn; drawing clips to it.
        qWarning("PictureBox resize: %s", qUtf8Printable(DescribeCurrentException()));
    }
}

double PictureBox::UnitsPerPixel() const noexcept {
    return scaleMode_ == ScaleModeKind::Twips ? kTwipsPerPixel : 1;
}

PictureBox::Shaped::Shaped(const QString& text, const QFont& font) : font(font), layout(text, font, &Typesetter()) {
    // Laid out the way a painter draws a string: unwrapped, its direction
    // taken from the text, and line separators drawn as if on the same line.
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout.setTextOption(option);
    // Otherwise the layout forgets its glyphs when done and shapes anew to draw.
    layout.setCacheEnabled(true);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(0);
        line.setPosition(QPointF(advance, -line.ascent()));
        advance += line.horizontalAdvance();
    }
    layout.endLayout();
}

const PictureBox::Shaped& PictureBox::Shape(TextView text) const {
    const QString string = ToQString(text);
    if (shaped_ && shaped_->layout.text() == string && shaped_->font == font()) return *shaped_;
    // Laying out in place: a failure leaves nothing kept rather than half a layout.
    return shaped_.emplace(string, font());
}

void PictureBox::Settle() const {
    if (std::exchange(blank_, false)) PaintBackground(image_, Extent(), band_ ? band_->Area() : QRect());
    if (const auto band = std::exchange(band_, std::nullopt)) CopyDown(image_, band->Area());
}

void PictureBox::PaintBackground(QImage& image, const QRect& area, const QRect& hole) const {
    const QRect kept = area & hole;
    const QRgb colour = PixelOf(backColor_);
    if (kept.isEmpty()) {
        Fill(image, area, colour);
    } else {
        // The rows above and below the hole and the columns either side of
        // it: subtracting regions cost allocations on every draw.
        for (const QRect& part : {QRect(area.topLeft(), QPoint(area.right(), kept.top() - 1)),
                                  QRect(QPoint(area.left(), kept.bottom() + 1), area.bottomRight()),
                                  QRect(QPoint(area.left(), kept.top()), QPoint(kept.left() - 1, kept.bottom())),
                                  QRect(QPoint(kept.right() + 1, kept.top()), QPoint(area.right(), kept.bottom()))}) {
            Fill(image, part, colour);
        }
    }
    if (picture_.IsEmpty()) return;
    const QRegion clip = QRegion(area) - kept;
    if (clip.isEmpty()) return;
    QPainter painter(&image);
    painter.setClipRegion(clip);
    painter.drawImage(0, 0, picture_.Image());
}

QImage PictureBox::Fitted(QSize size) const {
    Settle();
    QImage fitted = Storage(size);
    const QRect kept = Extent() & QRect(QPoint(), size);
    const auto bytes = static_cast<std::size_t>(kept.width()) * sizeof(QRgb);
    for (int y = 0; y < kept.height(); ++y) std::memcpy(fitted.scanLine(y), image_.constScanLine(y), bytes);
    PaintBackground(fitted, fitted.rect(), kept);
    return fitted;
}

bool PictureBox::Roomy(QSize size) const {
    const qint64 area = qint64{size.width()} * size.height();
    const qint64 room = qint64{image_.width()} * image_.height();
    // Pixels that an earlier Image() shares are not written in place: Qt
    // would copy them all first, unchecked. A box that shrinks far gives its
    // memory back.
    return image_.rect().contains(QRect(QPoint(), size)) && image_.isDetached() && 4 * area >= room;
}

void PictureBox::Refit(QSize size) {
    if (!Roomy(size)) {
        image_ = blank_ && !band_ ? Storage(size) : Fitted(size);
        extent_ = size;
        return;
    }
    if (!blank_) PaintBackground(image_, QRect(QPoint(), size), Extent());
    extent_ = size;
    if (band_) {
        band_->bottom = std::min(band_->bottom, size.height());
        band_->right = std::min(band_->right, size.width());
        if (band_->top >= band_->bottom || band_->left >= band_->right) band_.reset();
    }
}

void PictureBox::LayBackground() {
    if (!Roomy(size())) image_ = Storage(size());
    extent_ = size();
    band_.reset();
    blank_ = true;
    update();
}

void PictureBox::Place(const QRect& geometry) {
    // The image first: it is the one step that can fail, and the widget must
    // find the image at its new size when the resize reaches it.
    if (extent_ != geometry.size()) Refit(geometry.size());
    setGeometry(geometry);
}

}  // namespace tallyline
