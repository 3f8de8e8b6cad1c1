#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include "AmbientProperties.h"
#include "ControlSurface.h"
#include "ErrorReporter.h"
#include "Guarded.h"

namespace tallyline {

// The surface of a control of the program's own: a child window whose
// painting is kept in a persistent image and shown from there, so a face
// stays until the control paints another. Its scale is pixels unless told
// otherwise. The platform's notifications arrive at the virtual handlers
// below; whatever a handler throws is reported and goes no further.
class UserControl : public QWidget, public ControlSurface {
    Q_OBJECT
public:
    UserControl(ErrorReporter& reporter, QString action, QWidget* parent);

    void Enabled(bool enabled) { setEnabled(enabled); }
    // The persistent image at the current size.
    StdPicture Image() const;
    AmbientProperties Ambient() const;

    // ControlSurface
    void ScaleMode(ScaleModeKind mode) override;
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    bool Enabled() const override { return isEnabled(); }
    void PaintPicture(const StdPicture& picture, float X1, float Y1, float Width1, float Height1, float X2,
                      float Y2, float Width2, float Height2) override;

signals:
    // Tells the container that a property's value changed, so it marks its
    // saved data as changed.
    void PropertyChanged(const QString& PropertyName);

protected:
    virtual void UserControl_Click() {}
    virtual void UserControl_KeyDown(short& /*KeyCode*/, short& /*Shift*/) {}
    virtual void UserControl_KeyPress(short& /*KeyAscii*/) {}
    virtual void UserControl_KeyUp(short& /*KeyCode*/, short& /*Shift*/) {}
    virtual void UserControl_MouseDown(short& /*Button*/, short& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    virtual void UserControl_MouseMove(short& /*Button*/, short& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    virtual void UserControl_MouseUp(short& /*Button*/, short& /*Shift*/, float& /*X*/, float& /*Y*/) {}
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
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    double PixelsPerUnit() const noexcept;
    void FitImage();

    ErrorReporter& reporter_;
    QString action_;
    QImage image_;
    ScaleModeKind scaleMode_ = ScaleModeKind::Pixels;
    bool clickPending_ = false;
};

}  // namespace tallyline
