#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>

#include "ButtonFace.h"
#include "DrawButton.h"
#include "ErrorReporter.h"
#include "PictureClip.h"
#include "SkinGeometry.h"
#include "UserControl.h"

namespace tallyline {

// Collects what handlers would have shown the user.
struct ReportLog : ErrorReporter {
    void Report(const QString& action, const QString& reason) noexcept override { entries << action + ": " + reason; }
    QStringList entries;
};

inline PictureClip SkinClip() {
    PictureClip pc;
    pc.Picture(StdPicture(QImage(QStringLiteral(":/button/skin.bmp")).convertToFormat(QImage::Format_RGB32)));
    pc.Rows(skin::kRows);
    pc.Cols(skin::kCols);
    return pc;
}

// The face as DrawButton paints it on a surface of the given size.
inline QImage FaceImage(ButtonFace face, QSize size) {
    ReportLog log;
    UserControl surface(log, QString(), nullptr);
    surface.resize(size);
    DrawButton(face, surface, SkinClip());
    return surface.Image().Image();
}

// Which face the control's persistent image shows, or -1 for none.
inline int FaceShown(const UserControl& control) {
    const QImage shown = control.Image().Image();
    for (const ButtonFace face : {FaceNormal, FacePressed, FaceDisabled, FaceHover, FaceHighlighted}) {
        if (FaceImage(face, control.size()) == shown) return face;
    }
    return -1;
}

inline void SendMouse(QWidget& target, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent event(type, at, target.mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(&target, &event);
}

}  // namespace tallyline
