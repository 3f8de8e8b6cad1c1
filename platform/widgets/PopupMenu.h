#pragma once

class QMenu;
class QPoint;
class QWidget;

namespace tallyline {

// Shows the menu with its left edge at the pointer and returns when it
// closes; a chosen item has run its handler by then.
void PopupMenu(QMenu& menu);
// The keyboard's way: the menu's top-left corner at a point of a window, in
// the window's pixels, and its first item chosen, so that Return runs it.
void PopupMenu(QMenu& menu, const QWidget& window, const QPoint& at);

}  // namespace tallyline
