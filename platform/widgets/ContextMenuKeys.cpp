#include "platform/widgets/ContextMenuKeys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace tallyline {

void OnContextMenuKeys(QWidget& widget, const std::function<void()>& handler) {
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* shortcut = new QShortcut(keys, &widget);
        shortcut->setContext(Qt::WidgetShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &widget, handler);
    }
}

}  // namespace tallyline
