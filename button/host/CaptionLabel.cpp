#include "button/host/CaptionLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "button/host/ScreenPixel_p.h"
#include "platform/picture/QtColour.h"
#include "platform/widgets/InputMasks.h"

namespace tallyline {
namespace {

// The caption in the style's mnemonic form: its first character that one of
// the keys presses marked to be underlined, every other '&' doubled so that it
// shows as typed. Empty when no key is in the caption.
QString MnemonicCaption(const QString& caption, const QString& keys) {
    const QString mark = QStringLiteral("&");
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == mark[0] || !keys.contains(caption[i], Qt::CaseInsensitive)) continue;
        return QString(caption.left(i)).replace(mark, mark + mark) + mark +
               QString(caption.mid(i)).replace(mark, mark + mark);
    }
    return {};
}

}  // namespace

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

void CaptionLabel::AccessKeys(const QString& keys) {
    accessKeys_ = keys;
    update();
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

// Shows the access key whether or not Alt is held, where the label's own
// painting would underline nothing: a plain-text label has no mnemonic.
void CaptionLabel::paintEvent(QPaintEvent* event) {
    const QString mnemonic = MnemonicCaption(text(), accessKeys_);
    if (mnemonic.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()) | Qt::TextShowMnemonic, palette(),
                          isEnabled(), mnemonic, foregroundRole());
}

}  // namespace tallyline
