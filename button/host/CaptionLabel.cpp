#include "button/host/CaptionLabel.h"

#include <QMouseEvent>

#include "platform/widgets/InputMasks.h"
#include "platform/picture/QtColour.h"
#include "button/host/ScreenPixel_p.h"

namespace tallyline {

CaptionLabel::CaptionLabel(QWidget* parent) : SingleClickControl(parent) {
    // A caption is shown as typed, never read as markup.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setMouseTracking(true);
    ForeColor(kBlack);
}

void CaptionLabel::Caption(const QString& caption) {
    setText(caption);
    adjustSize();
    emit Change();
}

void CaptionLabel::Font(const QFont& font) {
    setFont(font);
    adjustSize();
}

void CaptionLabel::ForeColor(Colour colour) {
    QPalette colours = palette();
    // Every colour group, so that a disabled label shows the colour it was given.
    colours.setColor(QPalette::All, QPalette::WindowText, ToQColor(colour));
    setPalette(colours);
}

void CaptionLabel::Left(float left) {
    left_ = left;
    Place();
}

void CaptionLabel::Top(float top) {
    top_ = top;
    Place();
}

void CaptionLabel::Place() { move(ScreenPixel(left_), ScreenPixel(top_)); }

void CaptionLabel::mousePressEvent(QMouseEvent* event) {
    auto [button, shift, x, y] = MouseArgumentsOf(*event, event->button());
    clicks_.Press(*event);
    emit MouseDown(button, shift, x, y);
}

void CaptionLabel::mouseMoveEvent(QMouseEvent* event) {
    auto [button, shift, x, y] = MouseArgumentsOf(*event, event->buttons());
    emit MouseMove(button, shift, x, y);
}

void CaptionLabel::mouseReleaseEvent(QMouseEvent* event) {
    auto [button, shift, x, y] = MouseArgumentsOf(*event, event->button());
    const bool click = clicks_.Release(*event, rect());
    emit MouseUp(button, shift, x, y);
    if (click) emit Click();
}

}  // namespace tallyline
