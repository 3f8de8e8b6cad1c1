#pragma once

#include <QAccessibleWidget>

#include <functional>

namespace tallyline {

// How a screen reader sees a widget that it can press, as a click would.
class Pressable : public QAccessibleWidget {
public:
    Pressable(QWidget* widget, QAccessible::Role role, std::function<void()> press);
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    std::function<void()> press_;
};

// Adds the factory to those that Qt asks how a screen reader sees an
// object; a factory already added is not added again.
void InstallAccessibleFactory(QAccessible::InterfaceFactory factory);

}  // namespace tallyline
