#pragma once

#include <QFont>
#include <QSize>

#include <optional>

#include "platform/core/DrawingSurface.h"
#include "platform/picture/LaidOutText.h"
#include "platform/picture/RasterCanvas.h"
#include "platform/picture/StdPicture.h"
#include "platform/picture/VectorCanvas.h"

class QPainter;

namespace tallyline {

// A picture box's drawing surface without a window: its scale, pen, colours,
// font, and a persistent image kept as pixels, as shapes, or both. Its outer
// size is in the container's twips; its inner scale is twips until ScaleMode
// says pixels. Twips become the nearest whole pixel, a tie going to the even
// one; a size that is negative, not a number or beyond 32767 pixels raises
// "Invalid property value" and changes nothing. Cls, BackColor and
// RemovePicture lay the background colour afresh, so what was drawn before
// is gone; a change of size keeps it. A box covers the pixels whose centres
// lie in it.
class PictureSurface : public DrawingSurface {
public:
    enum class Keeping { Pixels = 1, Shapes = 2, PixelsAndShapes = 3 };

    explicit PictureSurface(Keeping keeping);

    // Design values.
    void Height(float height);
    void BackColor(Colour colour);
    Colour BackColor() const noexcept { return backColor_; }
    void ForeColor(Colour colour) noexcept { foreColor_ = colour; }
    void Font(const QFont& font) { font_ = font; }
    QSize PixelSize() const noexcept { return size_; }

    // The persistent image at the current size, as pixels; empty when the
    // surface keeps no pixels.
    StdPicture Image() const;
    // The same pixels without a copy, good only until the surface next
    // changes; empty when the surface keeps no pixels.
    QImage PixelView() const;
    // The persistent image as shapes; empty when the surface keeps none.
    const VectorCanvas& Shapes() const noexcept { return shapes_; }

    // DrawingSurface
    void ScaleMode(ScaleModeKind mode) override;
    float Width() const override;
    void Width(float width) override;
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    void Cls() override;
    void RemovePicture() override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    float TextWidth(TextView text) const override;
    float TextHeight(TextView text) const override;
    float CurrentX() const override;
    void CurrentX(float x) override;
    float CurrentY() const override;
    void CurrentY(float y) override;
    void Print(TextView text) override;

protected:
    // Nearest whole pixel of a size or position in twips, ties to even;
    // "Invalid property value" beyond what the platform keeps in 16 bits.
    static int Pixels(float twips);
    static int PixelExtent(float twips);
    ScaleModeKind ScaleMode() const noexcept { return scaleMode_; }
    // Changes the size in pixels, keeping the drawing; nothing changes on failure.
    void Resize(QSize size);
    // Shows the pixels over the area at the painter's origin; background
    // covers what an image lost to a failed allocation leaves uncovered.
    void PaintPixels(QPainter& painter, QSize area) const;

    // The pixels changed: a window showing them repaints.
    virtual void Repainted() {}
    // The size changed: a window showing the surface takes it.
    virtual void Resized() {}

private:
    void LayBackground();

    std::optional<RasterCanvas> pixels_;
    VectorCanvas shapes_;
    bool keepsShapes_;
    QSize size_;
    // The rows that the last box covered, with its edges in pixels and the
    // height that bounded them: every box of a barcode spans the same rows.
    struct Rows {
        double top;
        double bottom;
        int height;
        int first;
        int end;
    };
    Rows rows_{0, 0, -1, 0, 0};
    Colour backColor_ = kWindowBackground;
    Colour foreColor_ = kWindowText;
    QFont font_;
    ScaleModeKind scaleMode_ = ScaleModeKind::Twips;
    mutable TextLayouts layouts_;
    // The pen in pixels, so that it stays put when the scale changes.
    double penX_ = 0;
    double penY_ = 0;
};

}  // namespace tallyline
