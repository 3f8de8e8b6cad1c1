#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

#include "button/ButtonFace.h"
#include "button/host/CaptionLabel.h"
#include "button/host/IntervalTimer.h"
#include "button/host/PictureClip.h"
#include "button/host/PropertyBag.h"
#include "button/host/UserControl.h"
#include "platform/widgets/ErrorReporter.h"

namespace tallyline {

// The skinned push button. It paints its faces from the skin, shows the
// hover and pressed faces under the mouse, notices the pointer leaving by
// polling it while the pointer is over it, and saves its properties with
// the window that holds it.
//
// Events are raised with direct connections and every argument is a
// reference: a container's slot that changes one is seen afterwards.
class xpcmdbutton : public UserControl {
    Q_OBJECT
    // For the container that lists and saves the control's properties and events.
    Q_CLASSINFO("ClassName", "Tallyline.xpcmdbutton")
    Q_CLASSINFO("DispId.Enabled", "-514")
    Q_CLASSINFO("Category.Enabled", ";Behavior")
    Q_CLASSINFO("DispId.State", "0x68030000")
    Q_CLASSINFO("Category.State", ";Misc")
    Q_CLASSINFO("Description.State", "Returns/sets the state of the command button when mouse_out.")
    Q_CLASSINFO("DispId.Caption", "-518")
    Q_CLASSINFO("Category.Caption", ";Appearance")
    Q_CLASSINFO("DispId.Font", "-512")
    Q_CLASSINFO("DispId.Click", "-600")
    Q_CLASSINFO("DispId.KeyDown", "-602")
    Q_CLASSINFO("DispId.KeyPress", "-603")
    Q_CLASSINFO("DispId.KeyUp", "-604")
    Q_CLASSINFO("DispId.MouseOut", "1")
    Q_CLASSINFO("DispId.MouseDown", "-605")
    Q_CLASSINFO("DispId.MouseMove", "-606")
    Q_CLASSINFO("DispId.MouseUp", "-607")
    Q_PROPERTY(bool Enabled READ Enabled WRITE Enabled)
    Q_PROPERTY(qint32 State READ State WRITE State)
    Q_PROPERTY(QString Caption READ Caption WRITE Caption)
    Q_PROPERTY(QFont Font READ Font WRITE Font)

public:
    // A new instance, painted once; the container then gives it its first
    // values with InitProperties or its saved ones with ReadProperties.
    // `name` is the name the container knows the instance by.
    xpcmdbutton(const QString& name, ErrorReporter& reporter, QWidget* parent = nullptr);
    // A new instance restored from its saved data. Throws what
    // ReadProperties throws.
    xpcmdbutton(const QString& name, const PropertyBag& saved, ErrorReporter& reporter, QWidget* parent = nullptr);
    ~xpcmdbutton() override;

    QAccessible::Role AccessibleRole() const override { return QAccessible::Button; }

    bool Enabled() const override;
    void Enabled(bool New_Enabled);
    std::int32_t State() const noexcept { return StateValue; }
    void State(std::int32_t vNewValue);
    QString Caption() const;
    void Caption(const QString& vNewCaption);
    QFont Font() const { return CurrentFont; }
    void Font(const QFont& vNewFont);

    // Alt with one of them clicks the button; the caption underlines the first.
    void AccessKeys(const QString& keys) override;

    void InitProperties();
    // A value that does not convert raises an error naming its key; the
    // properties read before it keep their new values.
    void ReadProperties(const PropertyBag& PropBag);
    // For the container that saves the control's properties.
    void WriteProperties(PropertyBag& PropBag) const;

signals:
    void Click();
    void KeyDown(short& KeyCode, short& Shift);
    void KeyPress(short& KeyAscii);
    void KeyUp(short& KeyCode, short& Shift);
    void MouseOut();
    void MouseDown(short& Button, short& Shift, float& x, float& Y);
    void MouseMove(short& Button, short& Shift, float& x, float& Y);
    void MouseUp(short& Button, short& Shift, float& x, float& Y);

protected:
    void UserControl_Click() override;
    void UserControl_AccessKeyPress(short& KeyAscii) override;
    void UserControl_KeyDown(short& KeyCode, short& Shift) override;
    void UserControl_KeyPress(short& KeyAscii) override;
    void UserControl_KeyUp(short& KeyCode, short& Shift) override;
    void UserControl_MouseDown(short& Button, short& Shift, float& x, float& Y) override;
    void UserControl_MouseMove(short& Button, short& Shift, float& x, float& Y) override;
    void UserControl_MouseUp(short& Button, short& Shift, float& x, float& Y) override;
    void UserControl_MouseLeave() override;
    void UserControl_Resize() override;
    void UserControl_Show() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void lbl_Click();
    void lbl_MouseDown(short& Button, short& Shift, float& X, float& Y);
    void lbl_MouseMove(short& Button, short& Shift, float& X, float& Y);
    void lbl_MouseUp(short& Button, short& Shift, float& X, float& Y);
    void lbl_Change();
    void Timer1_Timer();
    void PointerGone();
    void RedrawCurrent();

    PictureClip pc;
    CaptionLabel* lbl;
    IntervalTimer* Timer1;
    std::int32_t StateValue = 0;
    QFont CurrentFont;
    ButtonFace RestFace = FaceNormal;
};

}  // namespace tallyline
