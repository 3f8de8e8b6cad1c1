#include <QtTest>

#include <string>
#include <utility>
#include <vector>

#include "DrawBar.h"
#include "ErrorCapture.h"
#include "RecordingSurface.h"

using tallyline::ErrorNumber;
using tallyline::Text;
using tallyline::testing::FormatNumber;
using tallyline::testing::RecordingSurface;

Q_DECLARE_METATYPE(Text)

namespace {

// Characters read as modules, '1' black and '0' white.
const QString kStartStop = "0100101101101";
const QString kA = "0110101001011";

QString Modules(const RecordingSurface& surface, int module) {
    return QString::fromStdString(surface.Modules(static_cast<float>(module)));
}

RecordingSurface Drawn(const Text& text, const RecordingSurface::Setup& setup = {}) {
    RecordingSurface surface(setup);
    tallyline::DrawBarcode(text, surface);
    return surface;
}

QString ToQString(const Text& text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Printed(const RecordingSurface& surface) {
    QStringList printed;
    for (const Text& text : surface.Printed()) printed << ToQString(text);
    return printed;
}

QStringList Lines(const std::vector<std::string>& log) {
    QStringList lines;
    for (const std::string& entry : log) lines << QString::fromStdString(entry);
    return lines;
}

QString LineEntry(float left, float right, const char* colour) {
    return QStringLiteral("Line %1 0 %2 60.5 %3")
        .arg(QString::fromStdString(FormatNumber(left)), QString::fromStdString(FormatNumber(right)),
             colour);
}

}  // namespace

class DrawBarcodeTest : public QObject {
    Q_OBJECT

private slots:
    // A1 at ScaleHeight 80 (two pixels a module), TextHeight 13, TextWidth 14,
    // on a borderless box 600 twips (40 pixels) wide.
    void workedExample_data() {
        QTest::addColumn<Text>("text");
        QTest::newRow("A1") << Text(U"A1");
        QTest::newRow("a1") << Text(U"a1");
    }
    void workedExample() {
        QFETCH(Text, text);
        const RecordingSurface surface = Drawn(text);

        const std::vector<std::pair<int, int>> bars = {
            {2, 4},   {8, 10},  {12, 16}, {18, 22}, {24, 26},   // start
            {28, 32}, {34, 36}, {38, 40}, {44, 46}, {48, 52},   // A
            {54, 58}, {60, 62}, {66, 68}, {70, 72}, {74, 78},   // 1
            {80, 82}, {86, 88}, {90, 94}, {96, 100}, {102, 104} // stop
        };
        QStringList expected = {"ScaleMode 3", "Cls", "Picture none", "Width 1980"};
        auto bar = bars.begin();
        for (int x = 0; x < 106;) {
            if (bar != bars.end() && bar->first == x) {
                expected << LineEntry(x, bar->second, "black");
                x = (bar++)->second;
            } else {
                expected << LineEntry(x, x + 2, "white");
                x += 2;
            }
        }
        expected << "Width 1620" << "CurrentX 47" << "CurrentY 63.75" << "Print A1";
        QCOMPARE(Lines(surface.Log()), expected);

        const auto& boxes = surface.Boxes();
        const auto black = std::count_if(boxes.begin(), boxes.end(),
                                         [](const auto& box) { return box.colour == tallyline::kBlack; });
        QCOMPARE(boxes.size(), std::size_t{45});
        QCOMPARE(black, 20);
        QCOMPARE(surface.ScaleWidth(), 108.0f);
    }

    void moduleWidthFollowsScaleHeight_data() {
        QTest::addColumn<float>("scaleHeight");
        QTest::addColumn<int>("module");
        QTest::newRow("20: 0.5 rounds to 0, raised to 1") << 20.0f << 1;
        QTest::newRow("0") << 0.0f << 1;
        QTest::newRow("negative") << -400.0f << 1;
        QTest::newRow("59") << 59.0f << 1;
        QTest::newRow("60: 1.5 rounds to 2") << 60.0f << 2;
        QTest::newRow("100: 2.5 rounds to 2") << 100.0f << 2;
        QTest::newRow("101") << 101.0f << 3;
        QTest::newRow("140: 3.5 rounds to 4") << 140.0f << 4;
        QTest::newRow("180: 4.5 rounds to 4") << 180.0f << 4;
        QTest::newRow("87,380: the widest that fits") << 87380.0f << 2184;
    }
    void moduleWidthFollowsScaleHeight() {
        QFETCH(float, scaleHeight);
        QFETCH(int, module);
        const RecordingSurface surface = Drawn(U"A", {.scaleHeightPixels = scaleHeight});
        QCOMPARE(Modules(surface, module), kStartStop + kA + kStartStop + "0");
    }

    void emptyTextOnlyClears() {
        const RecordingSurface surface = Drawn(U"");
        QCOMPARE(Lines(surface.Log()), QStringList{"Cls"});
        QCOMPARE(surface.ScaleWidth(), 600.0f);
    }

    // Characters without a pattern take no room among the bars and are still
    // printed; the first sizing counts them all.
    void barsSkipCharactersWithoutPattern_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<Text>("sameBarsAs");
        QTest::addColumn<Text>("printed");
        QTest::newRow("lower case") << Text(U"abc") << Text(U"ABC") << Text(U"ABC");
        QTest::newRow("#") << Text(U"A#B") << Text(U"AB") << Text(U"A#B");
        QTest::newRow("@ ! ,") << Text(U"a@b!,c") << Text(U"ABC") << Text(U"A@B!,C");
        QTest::newRow("[ is 91") << Text(U"A[B") << Text(U"AB") << Text(U"A[B");
        QTest::newRow("e acute") << Text(U"a\u00E9b") << Text(U"AB") << Text(U"A\u00C9B");
        QTest::newRow("y diaeresis") << Text(U"Z\u00FFZ") << Text(U"ZZ") << Text(U"Z\u0178Z");
        QTest::newRow("Cyrillic") << Text(U"A\u0430B") << Text(U"AB") << Text(U"A\u0430B");
        QTest::newRow("emoji") << Text(U"A\U0001F600B") << Text(U"AB") << Text(U"A\U0001F600B");
    }
    void barsSkipCharactersWithoutPattern() {
        QFETCH(Text, text);
        QFETCH(Text, sameBarsAs);
        QFETCH(Text, printed);
        const RecordingSurface::Setup oneModulePixel{.scaleHeightPixels = 40};
        const RecordingSurface surface = Drawn(text, oneModulePixel);
        QCOMPARE(Modules(surface, 1), Modules(Drawn(sameBarsAs, oneModulePixel), 1));
        QCOMPARE(Printed(surface), QStringList{ToQString(printed)});
        // 1.1 x 15 pixels a character, at 15 twips a pixel.
        const double firstSizing = static_cast<double>(text.size() + 2) * 1.1 * 15 * 15;
        QCOMPARE(surface.WidthsWritten().front(), static_cast<float>(firstSizing));
    }

    void onlyCharactersWithoutPatternLeaveStartAndStop() {
        const RecordingSurface surface = Drawn(U"#@!", {.scaleHeightPixels = 40});
        QCOMPARE(Modules(surface, 1), kStartStop + kStartStop + "0");
        QCOMPARE(Printed(surface), QStringList{"#@!"});
    }

    void starInsideDrawsStartStop() {
        const RecordingSurface surface = Drawn(U"A*B", {.scaleHeightPixels = 40});
        QCOMPARE(Modules(surface, 1).mid(26, 13), kStartStop);
    }

    // The bars end at 13 m n, n counting start and stop; then one white module
    // and one of background, with the caption centred on the fitted width.
    void fittedToBars_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<float>("scaleHeight");
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("characters");
        QTest::newRow("A1") << Text(U"A1") << 80.0f << 2 << 4;
        QTest::newRow("HELLO WORLD") << Text(U"HELLO WORLD") << 60.0f << 2 << 13;
        QTest::newRow("a#b") << Text(U"a#b") << 140.0f << 4 << 4;
        QTest::newRow("#") << Text(U"#") << 101.0f << 3 << 2;
        QTest::newRow("$%+-./") << Text(U"$%+-./") << 20.0f << 1 << 8;
        QTest::newRow("*") << Text(U"*") << 40.0f << 1 << 3;
        QTest::newRow("23 characters") << Text(U"ABCDEFGHIJKLMNOPQRSTUVW") << 89.0f << 2 << 25;
    }
    void fittedToBars() {
        QFETCH(Text, text);
        QFETCH(float, scaleHeight);
        QFETCH(int, module);
        QFETCH(int, characters);
        const RecordingSurface surface = Drawn(text, {.scaleHeightPixels = scaleHeight});
        const auto& trailingGap = surface.Boxes().back();
        QCOMPARE(trailingGap.left, static_cast<float>(13 * module * characters));
        QCOMPARE(trailingGap.right - trailingGap.left, static_cast<float>(module));
        QCOMPARE(trailingGap.colour, tallyline::kWhite);
        const float fitted = static_cast<float>((13 * characters + 2) * module);
        QCOMPARE(surface.ScaleWidth(), fitted);
        QCOMPARE(surface.CurrentX(), (fitted - 14) / 2);
    }

    // An error ends the call where it happens and reaches the caller; what
    // was done before stays done.
    void failureStopsWhereItHappens_data() {
        QTest::addColumn<float>("scaleHeight");
        QTest::addColumn<float>("widthTwips");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<std::optional<ErrorNumber>>("error");
        QTest::addColumn<QString>("lastDone");
        QTest::addColumn<int>("boxes");
        const std::optional overflow{ErrorNumber::Overflow};
        const std::optional injected{ErrorNumber::InvalidPropertyValue};
        QTest::newRow("ScaleHeight 87,381: 15 m overflows")
            << 87381.0f << 600.0f << -1 << overflow << "Picture none" << 0;
        QTest::newRow("ScaleHeight 2e6: m itself overflows")
            << 2e6f << 600.0f << -1 << overflow << "Picture none" << 0;
        QTest::newRow("ScaleWidth 0") << 80.0f << 0.0f << -1 << std::optional{ErrorNumber::DivisionByZero}
                                      << "Picture none" << 0;
        QTest::newRow("surface refuses the first box") << 80.0f << 600.0f << 4 << injected << "Width 1980" << 0;
        QTest::newRow("surface refuses the final Width") << 80.0f << 600.0f << 49 << injected
                                                          << "Line 104 0 106 60.5 white" << 45;
        QTest::newRow("surface refuses Print") << 80.0f << 600.0f << 52 << injected << "CurrentY 63.75" << 45;
        QTest::newRow("ScaleHeight 87,380 works") << 87380.0f << 600.0f << -1 << std::optional<ErrorNumber>{}
                                                  << "Print A1" << 45;
    }
    void failureStopsWhereItHappens() {
        QFETCH(float, scaleHeight);
        QFETCH(float, widthTwips);
        QFETCH(int, failAt);
        QFETCH(std::optional<ErrorNumber>, error);
        QFETCH(QString, lastDone);
        QFETCH(int, boxes);
        RecordingSurface surface({.widthTwips = widthTwips, .scaleHeightPixels = scaleHeight});
        if (failAt >= 0) surface.FailAt(static_cast<std::size_t>(failAt), ErrorNumber::InvalidPropertyValue);
        QCOMPARE(tallyline::ErrorOf([&] { tallyline::DrawBarcode(U"A1", surface); }), error);
        QCOMPARE(QString::fromStdString(surface.Log().back()), lastDone);
        QCOMPARE(surface.Boxes().size(), std::size_t(boxes));
    }
};

QTEST_APPLESS_MAIN(DrawBarcodeTest)
#include "tst_drawbarcode.moc"
