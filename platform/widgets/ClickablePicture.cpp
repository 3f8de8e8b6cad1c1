#include "platform/widgets/ClickablePicture.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/widgets/FocusMark.h"

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
    PaintFocusMark(*this, painter, rect());
}

void ClickablePicture::mousePressEvent(QMouseEvent* event) { clicks_.Press(*event); }

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    if (clicks_.Release(*event, rect())) emit Click();
}

}  // namespace tallyline
