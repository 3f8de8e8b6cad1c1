#include "mainwindow/frmPrint.h"

#include "design/Geometry.h"
#include "design/Texts.h"
#include "label/LabelPage.h"
#include "platform/core/Units.h"
#include "platform/widgets/BackColor.h"
#include "platform/widgets/CommonControls.h"

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

void frmPrint::FitPicture(QSize picture) {
    const PageLayout page = PlaceOnPage(picture);
    Picture1.Width(static_cast<float>(page.picture.width() * kTwipsPerPixel));
    resize(page.form.size());
}

PageLayout frmPrint::Page() const { return {rect(), palette().color(backgroundRole()).rgb(), Picture1.geometry()}; }

}  // namespace tallyline
