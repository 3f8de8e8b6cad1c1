#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>

class QPainter;
class QPointF;

namespace tallyline {

class LaidOutText;

// What a picture box keeps of its drawing as pixels, at 96 dots per inch.
// Every area is in pixels of the extent, which starts at the top-left.
class RasterCanvas {
public:
    QSize Extent() const noexcept { return extent_; }
    // The extent in pixels as it shows now.
    QImage Image() const;
    // The same pixels where they lie, without a copy: good only until the
    // canvas next changes.
    QImage View() const;
    // Shows the extent with its top-left corner at the painter's origin.
    void Paint(QPainter& painter) const;

    // Lays the background colour afresh over the whole extent. What was
    // drawn before is gone.
    void Clear(QSize extent, QRgb background);
    // Changes the extent, keeping what is drawn; new area shows the
    // background. Raises OutOfMemory and changes nothing when there is no room.
    void Resize(QSize extent);
    // Fills the pixels [left, right) x [top, bottom), which lie in the extent.
    // True when the fill starts a new run, which a window showing the pixels
    // must repaint; fills that join the run need no further request.
    bool Fill(int left, int top, int right, int bottom, QRgb colour);
    // Draws the text with its baseline's left end at the origin.
    void Draw(const LaidOutText& text, QPointF origin, QRgb colour);

private:
    // Rows [top, bottom) of columns [left, right), of which only the top row
    // is drawn yet. Its pixels stay put while the band is pending: whatever
    // replaces or shares the image settles the band first.
    struct Band {
        int top;
        int bottom;
        int left;
        int right;
        QRgb* row;

        QRect Area() const noexcept { return QRect(left, top, right - left, bottom - top); }
    };

    QRect Whole() const noexcept { return QRect(QPoint(), extent_); }
    // Settles any pending band and begins this one, its top row not yet drawn.
    void StartBand(Band band);
    // Lays a pending background and copies a pending band down its rows.
    void Settle() const;
    // Background colour within the area but outside the hole.
    void PaintBackground(QImage& image, const QRect& area, const QRect& hole) const;
    // A new image of the given size holding what is drawn.
    QImage Fitted(QSize size) const;
    // Whether image_ can take the given extent in place.
    bool Roomy(QSize size) const;

    // The extent is the top-left of image_; a change of size within image_
    // moves no pixels. Pixels outside the extent mean nothing and are laid
    // afresh when they come into it. Laying a pending background or band
    // changes how the image is stored, not what it shows, so readers may do it.
    mutable QImage image_;
    QSize extent_;
    QRgb background_ = 0xFFFFFFFF;
    // The background outside the band is laid only when first needed: the
    // renderer clears, removes the picture and sizes the box twice around
    // its bars.
    mutable bool blank_ = false;
    mutable std::optional<Band> band_;
};

}  // namespace tallyline
