#include "button/host/AccessibleUserControl_p.h"

#include "button/host/UserControl.h"
#include "platform/widgets/Pressable.h"

namespace tallyline {
namespace {

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
    return nullptr;
}

}  // namespace

void InstallAccessibleUserControl() { InstallAccessibleFactory(&ControlInterface); }

}  // namespace tallyline
