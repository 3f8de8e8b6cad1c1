#include <QPainter>
#include <QtTest>

#include <cmath>

#include "engine/DrawBar.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtColour.h"

using namespace tallyline;

namespace {

// A background that is neither of the colours bars are drawn in.
constexpr Colour kPanel = RGB(212, 208, 200);

// A row of a picture as text: black '#', white '.', the panel '-', any other colour '?'.
QString PixelRow(const QImage& image, int y) {
    QString row;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        row += pixel == qRgb(0, 0, 0)            ? '#'
               : pixel == qRgb(255, 255, 255)    ? '.'
               : pixel == ToQColor(kPanel).rgb() ? '-'
                                                 : '?';
    }
    return row;
}

// A surface of whole pixels in pixel scale, on the panel's colour.
struct Pixels : PictureSurface {
    Pixels(int width, int height) : PictureSurface(Keeping::PixelsAndShapes) {
        Width(static_cast<float>(width * kTwipsPerPixel));
        Height(static_cast<float>(height * kTwipsPerPixel));
        ScaleMode(ScaleModeKind::Pixels);
        BackColor(kPanel);
    }
};

}  // namespace

class PictureTest : public QObject {
    Q_OBJECT
private slots:
    // A box covers the pixels whose centres it holds, so boxes that share an edge never overlap.
    void boxCoversPixelsWhoseCentresItHolds_data() {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("right");
        QTest::addColumn<QString>("columns");
        QTest::newRow("01 2 to 4") << 2.f << 4.f << "--##------";
        QTest::newRow("02 corners swapped") << 4.f << 2.f << "--##------";
        QTest::newRow("03 centres inside") << 2.4f << 4.6f << "--###-----";
        QTest::newRow("04 centres outside") << 2.6f << 4.4f << "---#------";
        QTest::newRow("05 clipped") << -5.f << 1.f << "#---------";
        QTest::newRow("06 infinite") << -INFINITY << INFINITY << "##########";
        QTest::newRow("07 not a number") << NAN << 4.f << "----------";
    }
    void boxCoversPixelsWhoseCentresItHolds() {
        QFETCH(float, left);
        QFETCH(float, right);
        Pixels surface(10, 10);
        surface.Line(left, 0.4f, right, 9.6f, kBlack);
        const QImage image = surface.Image().Image();
        for (int y = 0; y < image.height(); ++y) QTEST(PixelRow(image, y), "columns");
    }

    // The window's barcode picture is 41 x 89 pixels, so two pixels a module, narrowed to fit once drawn: start
    // character, A, 1, stop character (ISO/IEC 16388's table), one white module and one of background. Margins and
    // gaps are white whatever the background; beneath the bars only the caption, centred, stands on it.
    void barcodeFollowsTheModules() {
        Pixels surface(41, 89);
        DrawBarcode(U"A1", surface);
        const QImage image = surface.Image().Image();
        QString expected;
        for (const QChar module : QString(".#..#.##.##.#"
                                          ".##.#.#..#.##"
                                          ".##.#..#.#.##"
                                          ".#..#.##.##.#"
                                          ".-"))
            expected += QString(2, module);
        QCOMPARE(image.size(), QSize(expected.size(), 89));
        int captionTop = 0;
        while (captionTop < image.height() && PixelRow(image, captionTop) == expected) ++captionTop;
        QVERIFY2(captionTop > 40, qPrintable(PixelRow(image, 0)));
        QString ink(image.width(), '-');
        for (int y = captionTop; y < image.height(); ++y) {
            const QString row = PixelRow(image, y);
            QVERIFY(!row.contains('.'));
            for (int x = 0; x < row.size(); ++x) ink[x] = row[x] == '-' ? ink[x] : '#';
        }
        QVERIFY2(std::abs(ink.indexOf('#') + ink.lastIndexOf('#') + 1 - image.width()) <= 2, qPrintable(ink));
    }

    // A box cut off by a narrower picture stays cut in the shapes when the picture grows again.
    void shrinkingLosesWhatFallsOutside() {
        Pixels surface(20, 4);
        surface.Line(0, 0, 20, 4, kBlack);
        surface.Width(10 * kTwipsPerPixel);
        surface.Width(20 * kTwipsPerPixel);
        QImage painted(surface.Shapes().Extent(), QImage::Format_RGB32);
        QPainter painter(&painted);
        surface.Shapes().Paint(painter);
        QCOMPARE(painted, surface.Image().Image());
    }
};

QTEST_MAIN(PictureTest)
#include "tst_picture.moc"
