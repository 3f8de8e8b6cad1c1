#include "button/xpcmdbutton.h"

#include <QImage>
#include <QPainter>

#include "button/ButtonDesign_p.h"
#include "button/DrawButton_p.h"
#include "button/SkinGeometry.h"
#include "button/host/CursorPosition.h"
#include "platform/picture/OwnImage.h"
#include "platform/widgets/FocusMark.h"

namespace tallyline {
namespace {

using namespace button_design;

// The names under which the properties are reported and saved.
const QString kStateKey = QStringLiteral("State");
const QString kEnabledKey = QStringLiteral("Enabled");
const QString kCaptionKey = QStringLiteral("Caption");
const QString kFontKey = QStringLiteral("Font");

constexpr short kLeftButtonAlone = 1;

StdPicture Skin() { return StdPicture(ReadOwnImage(kSkinResource).convertToFormat(QImage::Format_RGB32)); }

}  // namespace

xpcmdbutton::xpcmdbutton(const QString& name, ErrorReporter& reporter, QWidget* parent)
    : UserControl(reporter, kAction, parent), lbl(new CaptionLabel(this)), Timer1(new IntervalTimer(this)) {
    setObjectName(name);
    resize(DesignPixels(kWidthTwips), DesignPixels(kHeightTwips));

    pc.Picture(Skin());
    pc.Rows(skin::kRows);
    pc.Cols(skin::kCols);

    lbl->setObjectName(QStringLiteral("lbl"));
    lbl->setText(kLabelCaption);
    lbl->resize(DesignPixels(kLabelWidthTwips), DesignPixels(kLabelHeightTwips));
    lbl->Left(DesignPixels(kLabelLeftTwips));
    lbl->Top(DesignPixels(kLabelTopTwips));
    connect(lbl, &CaptionLabel::Click, this, &xpcmdbutton::lbl_Click, Qt::DirectConnection);
    connect(lbl, &CaptionLabel::MouseDown, this, &xpcmdbutton::lbl_MouseDown, Qt::DirectConnection);
    connect(lbl, &CaptionLabel::MouseMove, this, &xpcmdbutton::lbl_MouseMove, Qt::DirectConnection);
    connect(lbl, &CaptionLabel::MouseUp, this, &xpcmdbutton::lbl_MouseUp, Qt::DirectConnection);
    connect(lbl, &CaptionLabel::Change, this, &xpcmdbutton::lbl_Change, Qt::DirectConnection);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->Interval(kPollMilliseconds);
    connect(Timer1, &IntervalTimer::Timer, this, &xpcmdbutton::Timer1_Timer, Qt::DirectConnection);

    // Initialize: a first face, before any property is set.
    RedrawCurrent();
}

xpcmdbutton::xpcmdbutton(const QString& name, const PropertyBag& saved, ErrorReporter& reporter, QWidget* parent)
    : xpcmdbutton(name, reporter, parent) {
    ReadProperties(saved);
}

// Terminate: the face is painted once more.
xpcmdbutton::~xpcmdbutton() {
    Notify([this] { RedrawCurrent(); });
}

bool xpcmdbutton::Enabled() const { return UserControl::Enabled(); }

void xpcmdbutton::Enabled(bool New_Enabled) {
    UserControl::Enabled(New_Enabled);
    emit PropertyChanged(kEnabledKey);  // for the container that saves the control's properties
    RedrawCurrent();
    lbl->ForeColor(Enabled() ? kEnabledCaptionColour : kDisabledCaptionColour);
}

void xpcmdbutton::State(std::int32_t vNewValue) {
    StateValue = vNewValue;
    emit PropertyChanged(kStateKey);  // for the container that saves the control's properties
    RedrawCurrent();
}

QString xpcmdbutton::Caption() const { return lbl->Caption(); }

// The label reports the change, and its Change re-centres it and repaints.
// A screen reader names the button by its caption.
void xpcmdbutton::Caption(const QString& vNewCaption) {
    setAccessibleName(vNewCaption);
    lbl->Caption(vNewCaption);
    emit PropertyChanged(kCaptionKey);  // for the container that saves the control's properties
}

void xpcmdbutton::Font(const QFont& vNewFont) {
    CurrentFont = vNewFont;
    setFont(CurrentFont);
    lbl->Font(CurrentFont);
    UserControl_Resize();
    emit PropertyChanged(kFontKey);  // for the container that saves the control's properties
}

void xpcmdbutton::AccessKeys(const QString& keys) {
    UserControl::AccessKeys(keys);
    lbl->AccessKeys(keys);
}

void xpcmdbutton::InitProperties() {
    const AmbientProperties ambient = Ambient();
    Enabled(true);
    Caption(ambient.DisplayName);
    Font(ambient.Font);
}

void xpcmdbutton::ReadProperties(const PropertyBag& PropBag) {
    const AmbientProperties ambient = Ambient();
    StateValue = CLng(PropBag.ReadProperty(kStateKey, std::int32_t{0}), kStateKey);
    Enabled(CBool(PropBag.ReadProperty(kEnabledKey, true), kEnabledKey));
    Caption(CStr(PropBag.ReadProperty(kCaptionKey, ambient.DisplayName), kCaptionKey));
    Font(CFont(PropBag.ReadProperty(kFontKey, ambient.Font), kFontKey));
}

void xpcmdbutton::WriteProperties(PropertyBag& PropBag) const {
    const AmbientProperties ambient = Ambient();
    PropBag.WriteProperty(kStateKey, StateValue, std::int32_t{0});
    PropBag.WriteProperty(kEnabledKey, Enabled(), true);
    PropBag.WriteProperty(kCaptionKey, Caption(), ambient.DisplayName);
    PropBag.WriteProperty(kFontKey, CurrentFont, ambient.Font);
}

void xpcmdbutton::UserControl_Click() { emit Click(); }

void xpcmdbutton::UserControl_AccessKeyPress(short&) { emit Click(); }

void xpcmdbutton::UserControl_KeyDown(short& KeyCode, short& Shift) { emit KeyDown(KeyCode, Shift); }

void xpcmdbutton::UserControl_KeyPress(short& KeyAscii) { emit KeyPress(KeyAscii); }

void xpcmdbutton::UserControl_KeyUp(short& KeyCode, short& Shift) { emit KeyUp(KeyCode, Shift); }

void xpcmdbutton::UserControl_MouseDown(short& Button, short& Shift, float& x, float& Y) {
    emit MouseDown(Button, Shift, x, Y);
    DrawButton(FacePressed, *this, pc);
}

// Any move starts the polling, even one outside the button: while a press on
// the button is held, moves outside it are still reported here.
void xpcmdbutton::UserControl_MouseMove(short& Button, short& Shift, float& x, float& Y) {
    Timer1->Enabled(true);
    const float width = ScaleWidth();
    const float height = ScaleHeight();
    if (!(x >= 0 && Y >= 0 && x <= width && Y <= height)) return;
    emit MouseMove(Button, Shift, x, Y);
    // The container may have changed Button.
    DrawButton(Button == kLeftButtonAlone ? FacePressed : FaceHover, *this, pc);
}

void xpcmdbutton::UserControl_MouseUp(short& Button, short& Shift, float& x, float& Y) {
    emit MouseUp(Button, Shift, x, Y);
    RedrawCurrent();
}

void xpcmdbutton::UserControl_Resize() {
    RedrawCurrent();
    lbl->Top((ScaleHeight() - lbl->Height()) / 2);
    lbl->Left((ScaleWidth() - lbl->Width()) / 2);
}

void xpcmdbutton::UserControl_Show() { RedrawCurrent(); }

// The focus shows on screen over the face's fill, inside the skin's border
// and inner frame; the face kept in the persistent image is the skin's alone.
void xpcmdbutton::paintEvent(QPaintEvent* event) {
    UserControl::paintEvent(event);
    QPainter painter(this);
    PaintFocusMark(*this, painter, rect().adjusted(skin::kStrip, skin::kStrip, -skin::kStrip, -skin::kStrip));
}

void xpcmdbutton::lbl_Click() {
    Notify([this] { UserControl_Click(); });
}

void xpcmdbutton::lbl_MouseDown(short& Button, short& Shift, float& X, float& Y) {
    Notify([&] { UserControl_MouseDown(Button, Shift, X, Y); });
}

void xpcmdbutton::lbl_MouseMove(short& Button, short& Shift, float& X, float& Y) {
    Notify([&] { UserControl_MouseMove(Button, Shift, X, Y); });
}

void xpcmdbutton::lbl_MouseUp(short& Button, short& Shift, float& X, float& Y) {
    Notify([&] { UserControl_MouseUp(Button, Shift, X, Y); });
}

// Runs inside the Caption property, whose caller hears of any failure.
void xpcmdbutton::lbl_Change() { UserControl_Resize(); }

// The platform says when the pointer arrives but never when it leaves, so
// while the pointer is over the button its position is looked at every tick.
// Edges count as inside.
void xpcmdbutton::Timer1_Timer() {
    Notify([this] {
        POINTAPI pointer;
        GetCursorPos(pointer);
        ScreenToClient(*this, pointer);
        const float left = ScaleLeft();
        const float top = ScaleTop();
        const float width = ScaleWidth();
        const float height = ScaleHeight();
        const auto x = static_cast<float>(pointer.x);
        const auto y = static_cast<float>(pointer.y);
        if (x < left || y < top || x > left + width || y > top + height) PointerGone();
    });
}

// Where the platform cannot tell a program where the pointer is once it has
// left the program's windows (Wayland), the poll goes on finding it where it
// was last seen, over the button; the platform's leave is then the only word
// that it has gone. A leave ends only a tracking period, as the poll does, and
// while a press is dragged the platform holds the leave back until the
// release, so drags stay the poll's alone.
void xpcmdbutton::UserControl_MouseLeave() {
    if (Timer1->Enabled()) PointerGone();
}

void xpcmdbutton::PointerGone() {
    Timer1->Enabled(false);
    emit MouseOut();
    RedrawCurrent();
}

void xpcmdbutton::RedrawCurrent() {
    if (StateValue == 1) {
        RestFace = FaceHighlighted;
    } else if (StateValue == 0) {
        RestFace = FaceNormal;
    }
    DrawButton(UserControl::Enabled() ? RestFace : FaceDisabled, *this, pc);
}

}  // namespace tallyline
