#include "platform/widgets/MousePointer.h"

#include <QPainter>
#include <QPixmap>

namespace tallyline {
namespace {

constexpr int kSize = 16;
constexpr QRect kOuter(1, 1, 13, 13);
constexpr QRect kInner(5, 5, 5, 5);

}  // namespace

QCursor IconPointer() {
    QPixmap image(kSize, kSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(kOuter);
    painter.fillRect(kInner, Qt::black);
    painter.end();
    return QCursor(image, kOuter.center().x(), kOuter.center().y());
}

}  // namespace tallyline
