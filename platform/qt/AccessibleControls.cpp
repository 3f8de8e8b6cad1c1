#include "AccessibleControls.h"

#include <QAccessibleWidget>
#include <mutex>

#include "ClickablePicture.h"
#include "PictureBox.h"
#include "UserControl.h"

namespace tallyline {
namespace {

// The caption label of a button is the button's name, not a second object
// beside it, so the control shows no children.
class AccessibleControl : public QAccessibleWidget {
public:
    explicit AccessibleControl(UserControl* control) : QAccessibleWidget(control, control->AccessibleRole()) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            static_cast<UserControl*>(widget())->DoDefaultAction();
        } else {
            QAccessibleWidget::doAction(actionName);
        }
    }
};

class AccessibleLink : public QAccessibleWidget {
public:
    explicit AccessibleLink(ClickablePicture* picture) : QAccessibleWidget(picture, QAccessible::Link) {}

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            emit static_cast<ClickablePicture*>(widget())->Click();
        } else {
            QAccessibleWidget::doAction(actionName);
        }
    }
};

QAccessibleInterface* ControlInterface(const QString&, QObject* object) {
    if (auto* control = qobject_cast<UserControl*>(object)) return new AccessibleControl(control);
    if (auto* box = qobject_cast<PictureBox*>(object)) return new QAccessibleWidget(box, QAccessible::Graphic);
    if (auto* picture = qobject_cast<ClickablePicture*>(object)) return new AccessibleLink(picture);
    return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&ControlInterface); });
}

}  // namespace tallyline
