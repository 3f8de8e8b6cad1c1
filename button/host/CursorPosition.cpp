#include "button/host/CursorPosition.h"

#include <QCursor>
#include <QWidget>

namespace tallyline {
namespace {

QPoint RealPointer() { return QCursor::pos(); }

CursorSource currentSource = &RealPointer;

}  // namespace

void SetCursorSource(CursorSource source) noexcept { currentSource = source != nullptr ? source : &RealPointer; }

void GetCursorPos(POINTAPI& point) {
    const QPoint position = currentSource();
    point.x = position.x();
    point.y = position.y();
}

void ScreenToClient(const QWidget& window, POINTAPI& point) {
    const QPoint client = window.mapFromGlobal(QPoint(point.x, point.y));
    point.x = client.x();
    point.y = client.y();
}

}  // namespace tallyline
