#include "button/host/UserControl.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include <cmath>

#include "button/host/AccessibleUserControl_p.h"
#include "platform/core/CodePage.h"
#include "platform/core/Units.h"
#include "platform/widgets/InputMasks.h"

namespace tallyline {
namespace {

bool Paintable(std::initializer_list<double> values) noexcept {
    for (const double value : values) {
        if (!(std::abs(value) <= kFarthestPixel)) return false;
    }
    return true;
}

}  // namespace

UserControl::UserControl(ErrorReporter& reporter, QString action, QWidget* parent)
    : SingleClickControl(parent), reporter_(reporter), action_(std::move(action)) {
    InstallAccessibleUserControl();
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

StdPicture UserControl::Image() const {
    if (image_.size() == size()) return StdPicture(image_);
    QImage fitted(size(), QImage::Format_RGB32);
    fitted.fill(palette().color(QPalette::Window));
    QPainter(&fitted).drawImage(0, 0, image_);
    return StdPicture(fitted);
}

AmbientProperties UserControl::Ambient() const {
    return {objectName(), parentWidget() != nullptr ? parentWidget()->font() : QApplication::font()};
}

void UserControl::DoDefaultAction() noexcept {
    Notify([this] { UserControl_Click(); });
}

void UserControl::AccessKeys(const QString& keys) {
    qDeleteAll(accessKeys_);
    accessKeys_.clear();
    for (const QChar key : keys) {
        auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Alt+%1").arg(key)), this);
        // Qt answers no shortcut of a disabled control.
        connect(shortcut, &QShortcut::activated, this, [this, key] {
            short KeyAscii = static_cast<short>(key.toUpper().unicode());
            Notify([&] { UserControl_AccessKeyPress(KeyAscii); });
        });
        accessKeys_.append(shortcut);
    }
}

void UserControl::ScaleMode(ScaleModeKind mode) { scaleMode_ = ValidScaleMode(mode); }

float UserControl::ScaleWidth() const { return static_cast<float>(width() * UnitsPerPixel(scaleMode_)); }
float UserControl::ScaleHeight() const { return static_cast<float>(height() * UnitsPerPixel(scaleMode_)); }

void UserControl::PaintPicture(const StdPicture& picture, float X1, float Y1, float Width1, float Height1, float X2,
                               float Y2, float Width2, float Height2) {
    const double unit = UnitsPerPixel(scaleMode_);
    const QRectF target(X1 / unit, Y1 / unit, Width1 / unit, Height1 / unit);
    const QRectF source(X2 / unit, Y2 / unit, Width2 / unit, Height2 / unit);
    FitImage();
    // A copy of no extent, or of a negative one, leaves the surface as it is.
    if (picture.IsEmpty() || image_.isNull() || !(target.width() > 0 && target.height() > 0) ||
        !(source.width() > 0 && source.height() > 0) ||
        !Paintable({target.left(), target.top(), target.right(), target.bottom(), source.left(), source.top(),
                    source.right(), source.bottom()})) {
        return;
    }
    QPainter painter(&image_);
    painter.drawImage(target, picture.Image(), source);
    update(target.toAlignedRect());
}

void UserControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void UserControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Notify([this] {
        FitImage();
        UserControl_Resize();
    });
}

void UserControl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) Notify([this] { UserControl_Show(); });
}

void UserControl::mousePressEvent(QMouseEvent* event) {
    MouseArguments a = MouseArgumentsOf(*event, event->button(), UnitsPerPixel(scaleMode_));
    clicks_.Press(*event);
    Notify([&] { UserControl_MouseDown(a.Button, a.Shift, a.X, a.Y); });
}

void UserControl::mouseMoveEvent(QMouseEvent* event) {
    MouseArguments a = MouseArgumentsOf(*event, event->buttons(), UnitsPerPixel(scaleMode_));
    Notify([&] { UserControl_MouseMove(a.Button, a.Shift, a.X, a.Y); });
}

void UserControl::mouseReleaseEvent(QMouseEvent* event) {
    MouseArguments a = MouseArgumentsOf(*event, event->button(), UnitsPerPixel(scaleMode_));
    const bool click = clicks_.Release(*event, rect());
    Notify([&] {
        UserControl_MouseUp(a.Button, a.Shift, a.X, a.Y);
        if (click) UserControl_Click();
    });
}

// Qt tells a widget of the pointer leaving only when it goes to neither the
// widget nor any child of it, so a move onto the control's own label is no leave.
void UserControl::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Notify([this] { UserControl_MouseLeave(); });
}

void UserControl::keyPressEvent(QKeyEvent* event) {
    short keyCode = KeyCodeOf(*event);
    short shift = ShiftMask(event->modifiers());
    const QString text = event->text();
    const auto character = text.size() == 1 ? codepage::Asc(text.at(0).unicode()) : std::nullopt;
    Notify([&] {
        UserControl_KeyDown(keyCode, shift);
        if (character) {
            short keyAscii = *character;
            UserControl_KeyPress(keyAscii);
        }
    });
}

void UserControl::keyReleaseEvent(QKeyEvent* event) {
    // A held key repeats its KeyDown and KeyPress only; KeyUp comes once, at the end.
    if (event->isAutoRepeat()) return;
    short keyCode = KeyCodeOf(*event);
    short shift = ShiftMask(event->modifiers());
    Notify([&] { UserControl_KeyUp(keyCode, shift); });
}

void UserControl::FitImage() {
    if (image_.size() == size()) return;
    image_ = Image().Image();
}

}  // namespace tallyline
