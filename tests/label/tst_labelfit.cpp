#include <QtTest>

#include "engine/Code39Symbol.h"
#include "label/BarcodeDrawing.h"
#include "label/LabelFit.h"
#include "platform/core/RuntimeError.h"

using namespace tallyline;

Q_DECLARE_METATYPE(LabelArea)
Q_DECLARE_METATYPE(SymbolRules)

namespace {

// A rectangular label of so many dots with the margin that a label without a
// template keeps, 1 mm.
LabelArea Label(double width, double height, int dotsPerInch) {
    return {LabelShape::Rectangle, QSizeF(width, height), QSizeF(dotsPerInch / 25.4, dotsPerInch / 25.4)};
}

SymbolRules Turned(Turn turn) {
    SymbolRules rules;
    rules.turn = turn;
    return rules;
}

}  // namespace

// Where a symbol goes on a label: the largest module in whole dots, the turn
// that gives it (none on a tie), the ratio of small modules, bars as high as
// the label leaves; else a refusal that says how large the label must be.
class LabelFitTest : public QObject {
    Q_OBJECT

private slots:
    void fits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<LabelArea>("label");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<SymbolRules>("rules");
        QTest::addColumn<QString>("fit");  // turn narrow wide bars, or what the refusal says
        SymbolRules ratio3, low, bare, large;
        ratio3.ratio = 3;
        low.barMillimetres = 5;
        bare.caption = false;
        large.moduleMillimetres = 0.5;
        // TALLY-2026: 83 narrow and 36 wide elements. 2 x 1 inch at 203 dpi: 2 + 5 dots, 346
        // dots of bars and 40 of quiet zone in 406; bars of 203 less 2 x 8 margin less the
        // caption's band of 17.
        QTest::newRow("01 2x1in 203dpi") << "TALLY-2026" << Label(406, 203, 203) << 203 << SymbolRules() << "0 2 5 170";
        // 2 + 6 dots: 422 dots, 52.8 mm. TALLY-26 (69 narrow, 30 wide) takes 358.
        QTest::newRow("02 ratio 3, too long") << "TALLY-2026" << Label(406, 203, 203) << 203 << ratio3
                                              << "at least 52.9 mm wide, and this one is 50.8 mm";
        QTest::newRow("03 ratio 3") << "TALLY-26" << Label(406, 203, 203) << 203 << ratio3 << "0 2 6 170";
        QTest::newRow("04 bars of 5 mm") << "TALLY-2026" << Label(406, 203, 203) << 203 << low << "0 2 5 40";
        QTest::newRow("05 no caption") << "TALLY-2026" << Label(406, 203, 203) << 203 << bare << "0 2 5 187";
        // 1.125 x 3.5 inch, fed narrow side first: ABCDEF (55 narrow, 24 wide) fits along
        // the 711 dots only, turned, 4 + 9 dots a module: 516 dots.
        QTest::newRow("06 portrait DYMO label")
            << "ABCDEF" << Label(228, 711, 203) << 203 << SymbolRules() << "90 4 9 179";
        QTest::newRow("07 turned the other way")
            << "ABCDEF" << Label(228, 711, 203) << 203 << Turned(Turn::ThreeQuarters) << "270 4 9 179";
        // 2 + 5 dots: 270 dots.
        QTest::newRow("08 not turned: too narrow") << "ABCDEF" << Label(228, 711, 203) << 203 << Turned(Turn::None)
                                                   << "at least 33.8 mm wide, and this one is 28.5 mm";
        // TALLY-2026 on 1.5 x 2 inch: 386 dots along the 406.
        QTest::newRow("09 portrait Zebra label")
            << "TALLY-2026" << Label(304, 406, 203) << 203 << SymbolRules() << "90 2 5 271";
        // A square: both turns give 6 dots, 0.508 mm, at 2:1; none is taken.
        QTest::newRow("10 a tie") << "A" << Label(600, 600, 300) << 300 << SymbolRules() << "0 6 12 526";
        QTest::newRow("11 a module asked below the window's")
            << "A" << Label(600, 600, 300) << 300 << large << "0 5 11 534";
        // TALLY at 5 dots would leave bars of 76 dots where 71 and the caption are needed.
        QTest::newRow("12 a 2 inch round label")
            << "TALLY" << LabelArea{LabelShape::Round, QSizeF(600, 600), QSizeF(12, 12), 300} << 300 << SymbolRules()
            << "0 4 9 312";
        // From the hole's 225 dots up to the rim, 593 at 330 dots aside.
        QTest::newRow("13 a CD: above its hole")
            << "TALLY" << LabelArea{LabelShape::Cd, QSizeF(1382, 1382), QSizeF(12, 12), 691, 213} << 300
            << SymbolRules() << "0 6 12 318";
        QTest::newRow("14 too long for a round label")
            << "CODE39-TALLYLINE/2026" << LabelArea{LabelShape::Round, QSizeF(300, 300), QSizeF(12, 12), 150} << 300
            << SymbolRules() << "inside this label's shape, even with modules of 0.25 mm";
        // 23 characters at 2 + 5 dots: 763 dots with the quiet zones, 95.5 mm.
        QTest::newRow("15 too long for the label") << "CODE39-TALLYLINE/2026.$" << Label(406, 203, 203) << 203
                                                   << SymbolRules() << "at least 95.5 mm wide, and this one is 50.8 mm";
        // 40 dots of bars, 17 of caption, 16 of margin.
        QTest::newRow("16 too low for the bars asked")
            << "A" << Label(406, 50, 203) << 203 << low << "at least 9.2 mm high, and this one is 6.3 mm";
    }
    void fits() {
        QFETCH(QString, text);
        QFETCH(LabelArea, label);
        QFETCH(int, dpi);
        QFETCH(SymbolRules, rules);
        QFETCH(QString, fit);
        const std::vector<Element> elements = SymbolElements(text.toStdU32String());
        try {
            const LabelFit placed = FitOnLabel(elements, label, dpi, rules);
            const SymbolLook& look = placed.look;
            QCOMPARE(QString("%1 %2 %3 %4")
                         .arg(int(placed.turn))
                         .arg(look.widths.narrow)
                         .arg(look.widths.wide)
                         .arg(look.barHeight),
                     fit);
            // Centred, its quiet zones on the label, its bars inside the margin.
            const QSize picture = tallyline::Turned(
                QSize(SymbolWidth(SymbolUnits(elements, look.widths), look), look.barHeight + CaptionBand(look)),
                placed.turn);
            const QRectF on(placed.corner, QSizeF(picture));
            QVERIFY(QRectF(QPointF(), label.size).contains(on) || label.shape == LabelShape::Cd);
            if (label.shape == LabelShape::Rectangle) {
                QVERIFY(std::abs(on.center().x() - label.size.width() / 2) <= 1);
                QVERIFY(std::abs(on.center().y() - label.size.height() / 2) <= 1);
            }
        } catch (const RuntimeError& refused) {
            QCOMPARE(refused.Number(), ErrorNumber::PrinterError);
            QVERIFY2(QString(refused.Description()).contains(fit), refused.Description());
        }
    }

    // A batch draws labels in a look and the window's picture by turns on one surface.
    void windowPictureAfterALook() {
        BarcodeDrawing drawing(PictureSurface::Keeping::Shapes);
        drawing.Draw(QStringLiteral("A1"));
        const QSize window = drawing.Surface().PixelSize();
        drawing.Draw(drawing.Encode(QStringLiteral("A1")), SymbolLook{{3, 7}, 10, 40, true});
        drawing.Draw(QStringLiteral("A1"));
        QCOMPARE(drawing.Surface().PixelSize(), window);
    }
};

QTEST_MAIN(LabelFitTest)
#include "tst_labelfit.moc"
