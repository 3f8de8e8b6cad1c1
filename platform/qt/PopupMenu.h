#pragma once

class QMenu;

namespace tallyline {

// Shows the menu with its left edge at the pointer and returns when it
// closes; a chosen item has run its handler by then.
void PopupMenu(QMenu& menu);

}  // namespace tallyline
