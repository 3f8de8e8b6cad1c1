#include "platform/widgets/InputMasks.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tallyline {

short ButtonMask(Qt::MouseButtons buttons) noexcept {
    short mask = 0;
    if (buttons & Qt::LeftButton) mask |= 1;
    if (buttons & Qt::RightButton) mask |= 2;
    if (buttons & Qt::MiddleButton) mask |= 4;
    return mask;
}

short ShiftMask(Qt::KeyboardModifiers modifiers) noexcept {
    short mask = 0;
    if (modifiers & Qt::ShiftModifier) mask |= 1;
    if (modifiers & Qt::ControlModifier) mask |= 2;
    if (modifiers & Qt::AltModifier) mask |= 4;
    return mask;
}

short KeyCodeOf(const QKeyEvent& event) noexcept {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space) {
        return static_cast<short>(key);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<short>(112 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

MouseArguments MouseArgumentsOf(const QMouseEvent& event, Qt::MouseButtons buttons, double unitsPerPixel) noexcept {
    return {ButtonMask(buttons), ShiftMask(event.modifiers()), static_cast<float>(event.position().x() * unitsPerPixel),
            static_cast<float>(event.position().y() * unitsPerPixel)};
}

}  // namespace tallyline
