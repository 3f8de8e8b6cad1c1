#pragma once

#include <QMargins>
#include <QPointF>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <memory>
#include <span>
#include <vector>

class QPainter;

namespace tallyline {

class LaidOutText;

// What a picture box keeps of its drawing as shapes: every box as a
// rectangle of whole pixels and every text as text, so that the same picture
// can be drawn at any size, crisp, onto any painter (a vector file, a
// printer). The pixels covered are exactly those that the raster keeps.
class VectorCanvas {
public:
    // What is kept, handed over in the order that it is painted, for a
    // writer that speaks a file format itself rather than through a painter.
    class Reader {
    public:
        virtual ~Reader() = default;
        // Boxes of one colour; none covers another of the same call.
        virtual void Boxes(QRgb colour, std::span<const QRect> areas) = 0;
        // A text with its baseline's left end at the origin.
        virtual void Text(const LaidOutText& text, QPointF origin, QRgb colour) = 0;
    };

    QSize Extent() const noexcept { return extent_; }
    QRgb Background() const noexcept { return background_; }
    // Draws what is kept in pixel units, the extent's top-left at the
    // painter's origin, with margins of the background around the extent;
    // nothing falls outside the extent and its margins but text.
    void Paint(QPainter& painter, const QMargins& margins = QMargins()) const;
    // Hands what is drawn over the background to the reader, in pixel units.
    void Read(Reader& reader) const;

    // Lays the background colour afresh over the whole extent. What was
    // drawn before is gone.
    void Clear(QSize extent, QRgb background);
    // Changes the extent, keeping what is drawn within it.
    void Resize(QSize extent);
    // Fills the pixels [left, right) x [top, bottom).
    void Fill(int left, int top, int right, int bottom, QRgb colour);
    // Draws the text with its baseline's left end at the origin.
    void Draw(std::shared_ptr<const LaidOutText> text, QPointF origin, QRgb colour);

private:
    // A filled box, or a text when text is set; later items cover earlier ones.
    struct Item {
        QRect area;
        QRgb colour;
        std::shared_ptr<const LaidOutText> text;
        QPointF origin;
    };

    QSize extent_;
    QRgb background_ = 0xFFFFFFFF;
    std::vector<Item> items_;
    // Every box stands right of the one before on the same rows and every
    // text comes after them, as in a barcode: no two cover each other, so
    // the order in which they are painted does not show.
    bool sideBySide_ = true;
};

}  // namespace tallyline
