#pragma once

// The toolkit's floor for the window: the least window that shows what ours
// shows, a text box above a picture, with nothing of ours in it.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QWidget>

class BareWindow {
public:
    BareWindow() {
        // The window's size and the places of its text box and barcode.
        window.setFixedSize(519, 213);
        text.setGeometry(160, 8, 249, 28);
        text.setText(QStringLiteral("TALLYLINE"));
        picture.setGeometry(8, 48, 400, 89);
        picture.setPixmap(QPixmap::fromImage(Stripes()));
    }

    QWidget window;
    QLineEdit text{&window};
    QLabel picture{&window};

private:
    // Stripes a pixel wide, two apart, about as many as the window's barcode has.
    static QImage Stripes() {
        QImage image(400, 89, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int x = 0; x + 3 <= image.width(); x += 3) {
            for (int y = 0; y < image.height(); ++y) image.setPixel(x, y, qRgb(0, 0, 0));
        }
        return image;
    }
};
