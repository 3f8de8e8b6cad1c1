#pragma once

#include <QLabel>

#include "platform/core/Colour.h"
#include "platform/widgets/ClickDetector.h"

namespace tallyline {

// A label laid over a painted surface: transparent, sized to its caption,
// centred text, its access key underlined. Left and Top keep the fractional position they are given
// (16.5 stays 16.5); only where the label stands on screen is rounded.
// Mouse notifications carry the label's own coordinates, in pixels; slots
// connected to them run inside Qt's event handling and must not throw.
class CaptionLabel : public SingleClickControl<QLabel> {
    Q_OBJECT
public:
    explicit CaptionLabel(QWidget* parent);

    QString Caption() const { return text(); }
    // Resizes the label to the new caption, then reports Change, even when
    // the text is the same as before.
    void Caption(const QString& caption);
    void Font(const QFont& font);
    void ForeColor(Colour colour);
    // The characters that press the control with Alt: the first of them in
    // the caption shows underlined. The caption's text stays as it is.
    void AccessKeys(const QString& keys);

    float Left() const noexcept { return left_; }
    void Left(float left);
    float Top() const noexcept { return top_; }
    void Top(float top);
    float Width() const noexcept { return static_cast<float>(width()); }
    float Height() const noexcept { return static_cast<float>(height()); }

signals:
    void Click();
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void Change();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();

    float left_ = 0;
    float top_ = 0;
    QString accessKeys_;
};

}  // namespace tallyline
