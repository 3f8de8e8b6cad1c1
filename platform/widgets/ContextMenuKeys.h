#pragma once

#include <functional>

class QWidget;

namespace tallyline {

// Calls `handler` when the keyboard asks for the widget's context menu while
// the widget has the focus: the Menu key, or Shift+F10. The handler runs
// inside Qt's event handling and must not throw.
void OnContextMenuKeys(QWidget& widget, const std::function<void()>& handler);

}  // namespace tallyline
