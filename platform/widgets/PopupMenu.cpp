#include "platform/widgets/PopupMenu.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace tallyline {

void PopupMenu(QMenu& menu) { menu.exec(QCursor::pos()); }

void PopupMenu(QMenu& menu, const QWidget& window, const QPoint& at) {
    // Closing the menu clears the choice, so a later right press finds none.
    if (!menu.actions().isEmpty()) menu.setActiveAction(menu.actions().first());
    menu.exec(window.mapToGlobal(at));
}

}  // namespace tallyline
