#include "platform/qt/AccessibleControls_p.h"

#include <QAccessibleWidget>

#include <functional>
#include <mutex>

#include "platform/qt/ClickablePicture.h"
#include "platform/qt/PictureBox.h"
#include "platform/qt/UserControl.h"

namespace tallyline {
namespace {

// A widget that a screen reader can press, as a click would.
class Pressable : public QAccessibleWidget {
public:
    Pressable(QWidget* widget, QAccessible::Role role, std::function<void()> press)
        : QAccessibleWidget(widget, role), press_(std::move(press)) {}
    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            press_();
        } else {
            QAccessibleWidget::doAction(actionName);
        }
    }

private:
    std::function<void()> press_;
};

// The caption label of a button is the button's name, not a second object
// beside it, so the control shows no children.
class AccessibleControl : public Pressable {
public:
    explicit AccessibleControl(UserControl* control)
        : Pressable(control, control->AccessibleRole(), [control] { control->DoDefaultAction(); }) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

QAccessibleInterface* ControlInterface(const QString&, QObject* object) {
    if (auto* control = qobject_cast<UserControl*>(object)) return new AccessibleControl(control);
    if (auto* box = qobject_cast<PictureBox*>(object)) return new QAccessibleWidget(box, QAccessible::Graphic);
    if (auto* picture = qobject_cast<ClickablePicture*>(object)) {
        return new Pressable(picture, QAccessible::Link, [picture] { emit picture->Click(); });
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&ControlInterface); });
}

}  // namespace tallyline
