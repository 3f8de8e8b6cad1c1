#include "PopupMenu.h"

#include <QCursor>
#include <QMenu>

namespace tallyline {

void PopupMenu(QMenu& menu) { menu.exec(QCursor::pos()); }

}  // namespace tallyline
