#include "platform/widgets/LentDefaultFont.h"

#include <QApplication>

namespace tallyline {

LentDefaultFont::LentDefaultFont(const QFont& font) : kept_(QApplication::font()) { QApplication::setFont(font); }

LentDefaultFont::~LentDefaultFont() { Restore(); }

void LentDefaultFont::Restore() {
    if (!kept_) return;
    QApplication::setFont(*kept_);
    kept_.reset();
}

}  // namespace tallyline
