#pragma once

#include <QWidget>

#include "platform/qt/PictureBox.h"
#include "platform/qt/VectorCanvas.h"

namespace tallyline {

// The form that printing renders: never shown, made for one print and
// dropped after it, so that no picture carries over to the next.
class frmPrint : public QWidget {
    Q_OBJECT
public:
    frmPrint();

    // Shows the picture at the top-left of Picture1, unscaled, as shapes, so
    // that a printer draws it at its own resolution. A picture wider than
    // Picture1 widens Picture1 and the form alike, keeping the margins: a
    // barcode cut short on paper loses its stop character and no longer scans.
    void ShowPicture(const VectorCanvas& picture);
    const VectorCanvas& ShownPicture() const noexcept { return picture_; }

    PictureBox Picture1;

private:
    VectorCanvas picture_;
};

}  // namespace tallyline
