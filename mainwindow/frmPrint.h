#pragma once

#include <QWidget>

#include "platform/printing/Printer.h"
#include "platform/widgets/PictureBox.h"

namespace tallyline {

// The form that printing renders: never shown, made for one print and
// dropped after it, so that no picture carries over to the next.
class frmPrint : public QWidget {
    Q_OBJECT
public:
    frmPrint();

    // Makes room for a picture of that size at the top-left of Picture1,
    // unscaled, as every printed page places it.
    void FitPicture(QSize picture);
    // The page as the form lays it out now.
    PageLayout Page() const;

    PictureBox Picture1;
};

}  // namespace tallyline
