#include "frmPrint.h"

#include "CommonControls.h"
#include "BackColor.h"
#include "Units.h"
#include "design/Geometry.h"
#include "design/Texts.h"

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

void frmPrint::ShowPicture(const VectorCanvas& picture) {
    const int overhang = picture.Extent().width() - Picture1.width();
    if (overhang > 0) {
        Picture1.Width(static_cast<float>(picture.Extent().width() * kTwipsPerPixel));
        resize(width() + overhang, height());
    }
    picture_ = picture;
}

}  // namespace tallyline
