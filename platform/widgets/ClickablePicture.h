#pragma once

#include <QPixmap>
#include <QWidget>

#include "platform/widgets/ClickDetector.h"

namespace tallyline {

// A borderless picture box that shows one picture, sized to it, and reports a
// click of the left button: pressed and released over the picture. While it
// has the focus a focus mark shows over the picture.
class ClickablePicture : public QWidget {
    Q_OBJECT
public:
    explicit ClickablePicture(QWidget* parent = nullptr);

    const QPixmap& Picture() const noexcept { return picture_; }
    void Picture(const QPixmap& picture);

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    ClickDetector clicks_;
};

}  // namespace tallyline
