#include "platform/widgets/Pressable.h"

namespace tallyline {

Pressable::Pressable(QWidget* widget, QAccessible::Role role, std::function<void()> press)
    : QAccessibleWidget(widget, role), press_(std::move(press)) {}

QStringList Pressable::actionNames() const { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

void Pressable::doAction(const QString& actionName) {
    if (actionName == pressAction()) {
        press_();
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

}  // namespace tallyline
