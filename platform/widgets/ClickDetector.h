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

// A control on a Widget that counts clicks and answers no double-click: the
// second press of a double-click is the double-click itself, so it raises no
// press of its own; its release is reported, but no click follows.
template <typename Widget>
class SingleClickControl : public Widget {
public:
    using Widget::Widget;

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { clicks_.DoubleClick(); }

    ClickDetector clicks_;
};

}  // namespace tallyline
