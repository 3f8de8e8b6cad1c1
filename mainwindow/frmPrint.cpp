#include "mainwindow/frmPrint.h"

#include "mainwindow/design/Geometry.h"
#include "mainwindow/design/Texts.h"
#include "platform/core/Units.h"
#include "platform/qt/BackColor.h"
#include "platform/qt/CommonControls.h"

namespace tallyline {

// The box only gives the picture its place: the printer draws the shapes.
frmPrint::frmPrint()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), Picture1(this, PictureSurface::Keeping::Shapes) {
    InitCommonControls();
    setWindowTitle(design::kPrintFormCaption);
    setAttribute(Qt::WA_DontShowOnScreen);
    SetBackColor(*this, kWindowBackground);
    const QRect client = design::ToPixels(design::kPrintClient);
    resize(client.size());
    const design::TwipsRect picture = design::kPrintPicture1;
    Picture1.Move(picture.left, picture.top, picture.width, picture.height);
}

void frmPrint::FitPicture(const VectorCanvas& picture) {
    const int overhang = picture.Extent().width() - Picture1.width();
    if (overhang > 0) {
        Picture1.Width(static_cast<float>(picture.Extent().width() * kTwipsPerPixel));
        resize(width() + overhang, height());
    }
}

}  // namespace tallyline
