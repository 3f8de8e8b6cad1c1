#include <QApplication>

#include "DrawBar.h"
#include "PictureBox.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tallyline::PictureBox picture;
    picture.Move(0, 0, 615, 1335);
    tallyline::DrawBarcode(U"TALLY 2026", picture);
    picture.show();
    return app.exec();
}
