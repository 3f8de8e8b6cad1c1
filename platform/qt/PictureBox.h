#pragma once

#include <QFont>
#include <QImage>
#include <QTextLayout>
#include <QWidget>

#include <optional>

#include "DrawingSurface.h"
#include "StdPicture.h"

namespace tallyline {

// A picture box: a borderless child window whose drawing is kept in a
// persistent image and repainted from there. Its outer size is in the
// container's twips; its inner scale is twips until ScaleMode says pixels.
// Twips become the nearest whole pixel, a tie going to the even one; a size
// that is negative, not a number or beyond 32767 pixels raises "Invalid
// property value" and changes nothing. Cls, BackColor and Picture lay the
// background afresh (colour, then the picture at the top-left), so what was
// drawn before is gone; a change of size keeps it.
class PictureBox : public QWidget, public DrawingSurface {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Design values. Left, Top, Width and Height are twips of the container.
    void Move(float left, float top, float width, float height);
    float Height() const;
    void Height(float height);
    Colour BackColor() const noexcept { return backColor_; }
    void BackColor(Colour colour);
    Colour ForeColor() const noexcept { return foreColor_; }
    void ForeColor(Colour colour);
    QFont Font() const { return font(); }
    void Font(const QFont& font) { setFont(font); }

    // The persistent image at the current size.
    StdPicture Image() const;
    const StdPicture& Picture() const noexcept { return picture_; }

    // DrawingSurface
    void ScaleMode(ScaleModeKind mode) override;
    float Width() const override;
    void Width(float width) override;
    float ScaleLeft() const override;
    float ScaleTop() const override;
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    void Cls() override;
    void Picture(const StdPicture* picture) override;
    void Line(float x1, float y1, float x2, float y2, Colour colour) override;
    float TextWidth(TextView text) const override;
    float TextHeight(TextView text) const override;
    float CurrentX() const override;
    void CurrentX(float x) override;
    float CurrentY() const override;
    void CurrentY(float y) override;
    void Print(TextView text) override;

signals:
    // Button and Shift are the platform's masks (1 left, 2 right, 4 middle;
    // 1 Shift, 2 Ctrl, 4 Alt); X and Y are in the current scale.
    void MouseDown(short Button, short Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

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

    // Text laid out in a font on one baseline at y = 0.
    struct Shaped {
        Shaped(const QString& text, const QFont& font);

        // As set on the box: the layout keeps its own copy fitted to the typesetter.
        QFont font;
        QTextLayout layout;
        double advance = 0;
    };

    double UnitsPerPixel() const noexcept;
    // The text laid out in the current font.
    const Shaped& Shape(TextView text) const;
    QRect Extent() const noexcept { return QRect(QPoint(), extent_); }
    // Settles any pending band and begins this one, its top row not yet drawn.
    void StartBand(Band band);
    // Lays a pending background and copies a pending band down its rows.
    void Settle() const;
    // Background colour with the background picture at its top-left corner,
    // within the area but outside the hole.
    void PaintBackground(QImage& image, const QRect& area, const QRect& hole) const;
    // A new image of the given size holding what is drawn.
    QImage Fitted(QSize size) const;
    // Whether image_ can take the given extent in place.
    bool Roomy(QSize size) const;
    // Changes the extent, keeping the drawing; nothing changes on failure.
    void Refit(QSize size);
    // Cls, BackColor and Picture: what was drawn is gone.
    void LayBackground();
    // Moves and sizes in pixels, keeping the drawing; nothing changes on failure.
    void Place(const QRect& geometry);

    // The persistent image is the top-left extent_ of image_; a change of
    // size within image_ moves no pixels. Pixels outside the extent mean
    // nothing and are laid afresh when they come into it.
    // Laying a pending background or band changes how the image is stored,
    // not what it shows, so readers may do it.
    mutable QImage image_;
    QSize extent_;
    // The background outside the band is laid only when first needed: the
    // renderer clears, removes the picture and sizes the box twice around
    // its bars.
    mutable bool blank_ = false;
    mutable std::optional<Band> band_;
    // The rows that the last box covered, with its edges in pixels and the
    // height that bounded them. Every box of a barcode spans the same rows,
    // and working them out again was a fifth of drawing a box.
    struct Rows {
        double top;
        double bottom;
        int height;
        int first;
        int end;
    };
    Rows rows_{0, 0, -1, 0, 0};
    StdPicture picture_;
    Colour backColor_ = kWindowBackground;
    Colour foreColor_ = kWindowText;
    ScaleModeKind scaleMode_ = ScaleModeKind::Twips;
    // The renderer measures its caption and then prints it: keeping the last
    // layout lets Print draw what TextWidth measured without shaping it again,
    // which cost as much as drawing all the bars.
    mutable std::optional<Shaped> shaped_;
    // The pen in pixels, so that it stays put when the scale changes.
    double penX_ = 0;
    double penY_ = 0;
};

}  // namespace tallyline
