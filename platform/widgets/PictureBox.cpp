#include "platform/widgets/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtDebug>

#include "platform/core/Failures.h"
#include "platform/widgets/FocusMark.h"
#include "platform/widgets/InputMasks.h"

namespace tallyline {

PictureBox::PictureBox(QWidget* parent, Keeping keeping) : QWidget(parent), PictureSurface(keeping) {
    // The box paints every pixel of itself, so the window and the panel
    // beneath it need not be painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    Resize(size());
    Cls();
}

void PictureBox::Move(float left, float top, float width, float height) {
    const QPoint place(Pixels(left), Pixels(top));
    // The size first: it is the one step that can fail.
    Resize(QSize(PixelExtent(width), PixelExtent(height)));
    move(place);
}

void PictureBox::Resized() {
    // The surface holds its image at the new size before the widget takes it.
    if (size() != PixelSize()) resize(PixelSize());
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintPixels(painter, size());
    PaintFocusMark(*this, painter, rect());
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const MouseArguments a = MouseArgumentsOf(*event, event->button(), UnitsPerPixel(ScaleMode()));
    if (a.Button == 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    try {
        emit MouseDown(a.Button, a.Shift, a.X, a.Y);
    } catch (...) {
        // The window's handlers report their own failures; this only keeps a
        // stray one out of Qt's event loop.
        qWarning("MouseDown: %s", DescribeCurrentException().c_str());
    }
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (PixelSize() == size()) return;
    try {
        Resize(size());
    } catch (...) {
        // Keeping the smaller image loses nothing drawn; drawing clips to it.
        qWarning("PictureBox resize: %s", DescribeCurrentException().c_str());
    }
}

}  // namespace tallyline
