#pragma once

#include <QMouseEvent>
#include <QRect>

namespace tallyline {

// A click as the platform counts one: the left button pressed over a
// control and released over it again.
class ClickDetector {
public:
    void Press(const QMouseEvent& event) noexcept { pending_ = event.button() == Qt::LeftButton; }
    // The second press of a double-click starts no click.
    void DoubleClick() noexcept { pending_ = false; }
    // Whether this release ends a click on a control covering the area.
    bool Release(const QMouseEvent& event, const QRect& area) noexcept {
        const bool click = pending_ && event.button() == Qt::LeftButton && area.contains(event.position().toPoint());
        pending_ = false;
        return click;
    }

private:
    bool pending_ = false;
};

}  // namespace tallyline
