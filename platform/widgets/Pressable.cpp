#include "platform/widgets/Pressable.h"

#include <algorithm>
#include <mutex>
#include <vector>

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

void InstallAccessibleFactory(QAccessible::InterfaceFactory factory) {
    static std::mutex guard;
    static std::vector<QAccessible::InterfaceFactory> installed;
    const std::lock_guard lock(guard);
    if (std::find(installed.begin(), installed.end(), factory) != installed.end()) return;
    QAccessible::installFactory(factory);
    installed.push_back(factory);
}

}  // namespace tallyline
