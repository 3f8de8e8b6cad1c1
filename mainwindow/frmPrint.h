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

    // Makes room for the picture at the top-left of Picture1, unscaled. A
    // picture wider than Picture1 widens Picture1 and the form alike, keeping
    // the margins: a barcode cut short on paper loses its stop character and
    // no longer scans.
    void FitPicture(const VectorCanvas& picture);

    PictureBox Picture1;
};

}  // namespace tallyline
