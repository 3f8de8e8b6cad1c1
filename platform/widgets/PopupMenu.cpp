#include "platform/widgets/PopupMenu.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace tallyline {

void PopupMenu(QMenu& menu) { menu.exec(QCursor::pos()); }

void PopupMenu(QMenu& menu, const QWidget& window, const QPoint& at) { menu.exec(window.mapToGlobal(at)); }

}  // namespace tallyline
