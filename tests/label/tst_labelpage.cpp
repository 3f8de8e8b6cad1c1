#include <QtTest>

#include "label/BarcodeDrawing.h"
#include "label/BarcodePicture.h"
#include "label/LabelPage.h"
#include "platform/core/RuntimeError.h"

using namespace tallyline;

namespace {

const QString kShort = "TALLY-26";                   // 149 modules with its quiet zones
const QString kLongest = "CODE39-TALLYLINE/2026.$";  // 344 modules with its quiet zones
constexpr int kShortModules = 149;

}  // namespace

// Where a barcode goes on a label: the module in whole printer dots, the most not above the design's 0.529 mm that
// let the symbol and its quiet zones fit, never below 0.19 mm, the symbol centred; else a refusal naming the size the
// label would need.
class TestLabelPage : public QObject {
    Q_OBJECT

private slots:
    void moduleDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("label");
        QTest::addColumn<int>("dots");
        // 2 x 1 inch: 406 dots hold 149 modules of 2 dots, not of 3 (447).
        QTest::newRow("01 2x1in 203dpi") << 203 << QSize(406, 203) << 2;
        QTest::newRow("02 2x1in 300dpi") << 300 << QSize(600, 300) << 4;
        // 4 x 2 inch: the design's 4.23 dots taken down to 4, never up.
        QTest::newRow("03 4x2in 203dpi") << 203 << QSize(812, 406) << 4;
        QTest::newRow("04 4x2in 300dpi") << 300 << QSize(1200, 600) << 6;
        QTest::newRow("05 4x2in 600dpi, 12.5 down to 12") << 600 << QSize(2400, 1200) << 12;
        // 3.75 dots: a sheet's nearest would be 4, above the design's module.
        QTest::newRow("06 4x2in 180dpi, 3.75 down to 3") << 180 << QSize(720, 360) << 3;
        QTest::newRow("07 exactly 149 x 4 dots") << 300 << QSize(596, 300) << 4;
        QTest::newRow("08 a dot short of 149 x 4") << 300 << QSize(595, 300) << 3;
        // Wide but low: the height chooses the module.
        QTest::newRow("09 low label") << 300 << QSize(2400, 150) << 3;
    }
    void moduleDots() {
        QFETCH(int, dpi);
        QFETCH(QSize, label);
        QFETCH(int, dots);
        BarcodeDrawing drawing(PictureSurface::Keeping::Shapes);
        drawing.Draw(kShort);
        const PictureSurface& surface = drawing.Surface();
        const int modulePixels = ModulePixels(surface);
        QCOMPARE(modulePixels * kShortModules,
                 surface.PixelSize().grownBy(QuietZoneMargins(modulePixels, kStandardQuietZone)).width());
        const LabelPlacement place = PlaceOnLabel(surface.PixelSize(), modulePixels, label, dpi);
        QCOMPARE(place.moduleDots, dots);
        QCOMPARE(place.dotsPerPixel * modulePixels, double(dots));
        // Centred across, the picture starting 9 modules into the left quiet zone (its own space before the bars
        // makes the tenth); all of it on the label.
        QCOMPARE(place.corner.x(), (label.width() - kShortModules * dots) / 2 + 9 * dots);
        const double bottom = place.corner.y() + surface.PixelSize().height() * place.dotsPerPixel;
        QVERIFY(place.corner.y() >= 0 && bottom <= label.height());
        QVERIFY(std::abs(place.corner.y() - (label.height() - bottom)) <= 1);
    }

    void refused_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("label");
        QTest::addColumn<QString>("needed");
        // 344 modules of 2 dots at 203 dpi (0.19 mm is 1.52 dots): 688 dots, 86.08 mm.
        QTest::newRow("01 2x1in 203dpi") << 203 << QSize(406, 203) << "at least 86.1 mm wide, and this one is 50.8 mm";
        // 3 dots at 300 dpi: 1,032 dots, 87.38 mm.
        QTest::newRow("02 2x1in 300dpi") << 300 << QSize(600, 300) << "at least 87.4 mm wide, and this one is 50.8 mm";
        QTest::newRow("03 wide enough, too low") << 300 << QSize(1100, 100) << "mm high, and this one is 8.5 mm";
    }
    void refused() {
        QFETCH(int, dpi);
        QFETCH(QSize, label);
        QFETCH(QString, needed);
        BarcodeDrawing drawing(PictureSurface::Keeping::Shapes);
        drawing.Draw(kLongest);
        try {
            PlaceOnLabel(drawing.Surface().PixelSize(), ModulePixels(drawing.Surface()), label, dpi);
            QFAIL("placed on a label it does not fit");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Number(), ErrorNumber::PrinterError);
            QVERIFY2(QString(error.Description()).contains(needed), error.Description());
        }
    }
};

QTEST_MAIN(TestLabelPage)
#include "tst_labelpage.moc"
