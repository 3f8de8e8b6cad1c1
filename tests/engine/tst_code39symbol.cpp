#include <QtTest>

#include <optional>

#include "engine/Code39Symbol.h"
#include "engine/DrawBar.h"
#include "platform/picture/PictureSurface.h"

using namespace tallyline;

// The symbol's elements, read at the window's 2:1, are the very bars that
// DrawBarcode draws; the ratio widens only the wide elements.
class Code39SymbolTest : public QObject {
    Q_OBJECT

private slots:
    void elementsAreTheWindowsBars() {
        for (char32_t code = 0; code <= 128; ++code) {
            const Text text{U'A', code, U'9'};
            // The window's picture, 1 pixel a module: its top row crosses the bars.
            PictureSurface surface(PictureSurface::Keeping::Pixels);
            surface.Width(600);
            surface.Height(40 * kTwipsPerPixel);
            DrawBarcode(text, surface);
            // The leading space, the elements, the trailing space and the picture's one module more.
            QString modules = "0";
            bool black = true;
            for (const Element element : SymbolElements(BarcodeCaption(text))) {
                modules += QString(element == Element::Wide ? 2 : 1, black ? '1' : '0');
                black = !black;
            }
            const QImage image = surface.PixelView();
            QString row;
            for (int x = 0; x < image.width(); ++x) row += image.pixel(x, 0) == qRgb(0, 0, 0) ? '1' : '0';
            QCOMPARE(row, modules + "00");
        }
    }

    void widths_data() {
        QTest::addColumn<int>("narrow");
        QTest::addColumn<double>("unit");
        QTest::addColumn<double>("ratio");  // 0: none asked
        QTest::addColumn<int>("wide");
        const double dot203 = 25.4 / 203, dot300 = 25.4 / 300;
        QTest::newRow("01 6 dots at 300 dpi, exactly 0.508 mm: 2:1") << 6 << dot300 << 0.0 << 12;
        QTest::newRow("02 5 dots at 300 dpi: 2.2 is 11 exactly") << 5 << dot300 << 0.0 << 11;
        QTest::newRow("03 the window's 2 pixels, 0.529 mm") << 2 << 25.4 / 96 << 0.0 << 4;
        QTest::newRow("04 asked 2 below 0.508 mm") << 2 << dot203 << 2.0 << 4;
        QTest::newRow("05 asked 2.5 of 3 dots: 7.5 up to 8") << 3 << dot300 << 2.5 << 8;
        QTest::newRow("06 tenths of a module") << 10 << 0.033 << 0.0 << 22;
    }
    void widths() {
        QFETCH(int, narrow);
        QFETCH(double, unit);
        QFETCH(double, ratio);
        const ElementWidths widths = WidthsOf(narrow, unit, ratio > 0 ? std::optional(ratio) : std::nullopt);
        QCOMPARE(widths.narrow, narrow);
        QTEST(widths.wide, "wide");
    }
};

QTEST_MAIN(Code39SymbolTest)
#include "tst_code39symbol.moc"
