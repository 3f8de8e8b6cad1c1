#pragma once

#include <QAccessible>
#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

#include "button/host/AmbientProperties.h"
#include "button/host/ControlSurface.h"
#include "platform/widgets/ClickDetector.h"
#include "platform/widgets/ErrorReporter.h"
#include "platform/widgets/Guarded.h"

class QShortcut;

namespace tallyline {

// The surface of a control of the program's own: a child window whose
// painting is kept in a persistent image and shown from there, so a face
// stays until the control paints another. Its scale is pixels unless told
// otherwise. The platform's notifications arrive at the virtual handlers
// below; whatever a handler throws is reported and goes no further.
class UserControl : public SingleClickControl<QWidget>, public ControlSurface {
    Q_OBJECT
public:
    UserControl(ErrorReporter& reporter, QString action, QWidget* parent);

    void Enabled(bool enabled) { setEnabled(enabled); }
    // The characters that, pressed with Alt anywhere in the control's window,
    // reach UserControl_AccessKeyPress: "C" makes Alt+C one. Replaces the
    // ones given before; none until given. A control that shows its keys
    // takes them here too.
    virtual void AccessKeys(const QString& keys);
    // The persistent image at the current size.
    StdPicture Image() const;
    AmbientProperties Ambient() const;
    // What the control is to a screen reader.
    virtual QAccessible::Role AccessibleRole() const { return QAccessible::Client; }
    // A screen reader's press: the control's Click handling.
    void DoDefaultAction() noexcept;

    // ControlSurface
    void ScaleMode(ScaleModeKind mode) override;
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    bool Enabled() const override { return isEnabled(); }
    void PaintPicture(const StdPicture& picture, float X1, float Y1, float Width1, float Height1, float X2, float Y2,
                      float Width2, float Height2) override;

signals:
    // Tells the container that a property's value changed, so it marks its
    // saved data as changed.
    void PropertyChanged(const QString& PropertyName);

protected:
    virtual void UserControl_Click() {}
    virtual void UserControl_AccessKeyPress(short& /*KeyAscii*/) {}
    virtual void UserControl_KeyDown(short& /*KeyCode*/, short& /*Shift*/) {}
    virtual void UserControl_KeyPress(short& /*KeyAscii*/) {}
    virtual void UserControl_KeyUp(short& /*KeyCode*/, short& /*Shift*/) {}
    virtual void UserControl_MouseDown(short& /*Button*/, short& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    virtual void UserControl_MouseMove(short& /*Button*/, short& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    virtual void UserControl_MouseUp(short& /*Button*/, short& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    // The pointer has gone from over the control and everything on it; while
    // a mouse button is held the platform says so only once it is released.
    virtual void UserControl_MouseLeave() {}
    virtual void UserControl_Resize() {}
    virtual void UserControl_Show() {}

    // Runs a handler that Qt called in, reporting what it throws.
    template <typename Handler>
    void Notify(Handler&& handler) noexcept {
        Guarded(reporter_, action_, std::forward<Handler>(handler));
    }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FitImage();

    ErrorReporter& reporter_;
    QString action_;
    QImage image_;
    ScaleModeKind scaleMode_ = ScaleModeKind::Pixels;
    QList<QShortcut*> accessKeys_;
};

}  // namespace tallyline
