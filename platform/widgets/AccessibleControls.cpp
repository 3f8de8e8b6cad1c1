#include "platform/widgets/AccessibleControls_p.h"

#include "platform/widgets/ClickablePicture.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/Pressable.h"

namespace tallyline {
namespace {

QAccessibleInterface* ControlInterface(const QString&, QObject* object) {
    if (auto* box = qobject_cast<PictureBox*>(object)) return new QAccessibleWidget(box, QAccessible::Graphic);
    if (auto* picture = qobject_cast<ClickablePicture*>(object)) {
        return new Pressable(picture, QAccessible::Link, [picture] { emit picture->Click(); });
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleControls() { InstallAccessibleFactory(&ControlInterface); }

}  // namespace tallyline
