#include "ClickablePicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace tallyline {

ClickablePicture::ClickablePicture(QWidget* parent) : QWidget(parent) {}

void ClickablePicture::Picture(const QPixmap& picture) {
    picture_ = picture;
    setFixedSize(picture_.size());
    update();
}

void ClickablePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void ClickablePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressed_ = true;
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (rect().contains(event->position().toPoint())) emit Click();
}

}  // namespace tallyline
