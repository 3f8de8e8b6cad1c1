#include "platform/widgets/LentDefaultFont.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace tallyline {

LentDefaultFont::LentDefaultFont(const QFont& font) : kept_(QApplication::font()) { QApplication::setFont(font); }

LentDefaultFont::~LentDefaultFont() { Restore(); }

void LentDefaultFont::Restore() {
    if (!kept_) return;
    QApplication::setFont(*kept_);
    kept_.reset();
    // Before the event loop runs the toolkit tells no window of the change:
    // one made meanwhile would keep the lent font.
    QEvent changed(QEvent::ApplicationFontChange);
    for (QWidget* window : QApplication::topLevelWidgets()) QApplication::sendEvent(window, &changed);
}

}  // namespace tallyline
