#pragma once

#include <QWidget>

#include "platform/picture/PictureSurface.h"

namespace tallyline {

// A picture box: a borderless child window that shows a picture surface's
// persistent image and repaints from there. Its place and size are those of
// the surface, in the container's twips. While it has the focus a focus mark
// shows over the image, which never holds it.
class PictureBox : public QWidget, public PictureSurface {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr, Keeping keeping = Keeping::Pixels);

    // Design values: left, top, width and height in twips of the container.
    void Move(float left, float top, float width, float height);

signals:
    // Button and Shift are the platform's masks (1 left, 2 right, 4 middle;
    // 1 Shift, 2 Ctrl, 4 Alt); X and Y are in the current scale.
    void MouseDown(short Button, short Shift, float X, float Y);

protected:
    void Repainted() override { update(); }
    void Resized() override;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace tallyline
