#include <QtTest>

#include <map>

#include "engine/DrawBar.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/RecordingSurface.h"

using tallyline::ErrorNumber;
using tallyline::Text;
using tallyline::testing::RecordingSurface;
using Setup = RecordingSurface::Setup;

namespace {

// The characters that have bars, each with its 13 modules: '1' black, '0' white.
const std::map<char32_t, QString> kModules = {
    {1, "0100101101101"}, {2, "0100101101101"}, {' ', "0100110101101"}, {'$', "0100100100101"},
    {'%', "0101001001001"}, {'*', "0100101101101"}, {'+', "0100101001001"}, {'-', "0100101011011"},
    {'.', "0110010101101"}, {'/', "0100100101001"}, {'0', "0101001101101"}, {'1', "0110100101011"},
    {'2', "0101100101011"}, {'3', "0110110010101"}, {'4', "0101001101011"}, {'5', "0110100110101"},
    {'6', "0101100110101"}, {'7', "0101001011011"}, {'8', "0110100101101"}, {'9', "0101100101101"},
    {'A', "0110101001011"}, {'B', "0101101001011"}, {'C', "0110110100101"}, {'D', "0101011001011"},
    {'E', "0110101100101"}, {'F', "0101101100101"}, {'G', "0101010011011"}, {'H', "0110101001101"},
    {'I', "0101101001101"}, {'J', "0101011001101"}, {'K', "0110101010011"}, {'L', "0101101010011"},
    {'M', "0110110101001"}, {'N', "0101011010011"}, {'O', "0110101101001"}, {'P', "0101101101001"},
    {'Q', "0101010110011"}, {'R', "0110101011001"}, {'S', "0101101011001"}, {'T', "0101011011001"},
    {'U', "0110010101011"}, {'V', "0100110101011"}, {'W', "0110011010101"}, {'X', "0100101101011"},
    {'Y', "0110010110101"}, {'Z', "0100110110101"},
};

// Start character, the bars of each character that has any, stop character, trailing gap.
QString Symbol(const Text& bars) {
    QString modules = kModules.at(1);
    for (const char32_t character : bars) modules += kModules.contains(character) ? kModules.at(character) : "";
    return modules + kModules.at(2) + '0';
}

QStringList LogOf(const RecordingSurface& surface) {
    QStringList log;
    for (const Text& entry : surface.Log()) log << QString::fromUcs4(entry.data(), qsizetype(entry.size()));
    return log;
}

// What drawing leaves: the log, and the image read as modules of `module` pixels.
std::pair<QStringList, QString> Draw(const Text& text, float scaleHeight = 40, int module = 1) {
    RecordingSurface surface({.scaleHeightPixels = scaleHeight});
    tallyline::DrawBarcode(text, surface);
    return {LogOf(surface), QString::fromStdString(surface.Modules(static_cast<float>(module)))};
}

}  // namespace

class DrawBarcodeTest : public QObject {
    Q_OBJECT

private slots:
    // 2 pixels a module on 600 twips (40 pixels), text 14 by 13; a box per bar and per space module.
    void workedExample_data() {
        QTest::addColumn<Text>("text");
        QTest::newRow("A1") << Text(U"A1");
        QTest::newRow("a1") << Text(U"a1");
    }
    void workedExample() {
        QFETCH(Text, text);
        QStringList expected = {"ScaleMode 3", "Cls", "Picture none", "Width 1980"};
        const QString symbol = Symbol(U"A1");
        for (qsizetype x = 0, end = 1; x < symbol.size(); x = end++) {
            while (symbol[x] == '1' && end < symbol.size() && symbol[end] == '1') ++end;
            expected << QString("Line %1 %2 0 %3 60.5").arg(symbol[x] == '1' ? "black" : "white").arg(2 * x).arg(2 * end);
        }
        expected << "Width 1620" << "CurrentX 47" << "CurrentY 63.75" << "Print A1";
        const QStringList log = Draw(text, 80).first;
        QCOMPARE(log, expected);
        QCOMPARE(log.filter("Line ").size(), 45);
        QCOMPARE(log.filter("Line black").size(), 20);
        // Centred by the width of what is printed: lower case is narrower.
        RecordingSurface surface({});
        tallyline::DrawBarcode(text, surface);
        QCOMPARE(surface.Measured(), Text(U"A1"));
    }

    // Each code up to 91, the first past the table, alone at one pixel a module; A at other widths.
    void modules_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<float>("scaleHeight");
        QTest::addColumn<int>("module");
        for (int code = 0; code <= 91; ++code) QTest::addRow("code %d", code) << Text(1, char32_t(code)) << 40.0f << 1;
        QTest::newRow("20: 0.5 rounds to 0, raised to 1") << Text(U"A") << 20.0f << 1;
        QTest::newRow("59") << Text(U"A") << 59.0f << 1;
        QTest::newRow("60: 1.5 rounds to 2") << Text(U"A") << 60.0f << 2;
        QTest::newRow("100: 2.5 rounds to 2") << Text(U"A") << 100.0f << 2;
        QTest::newRow("101") << Text(U"A") << 101.0f << 3;
        QTest::newRow("140: 3.5 rounds to 4") << Text(U"A") << 140.0f << 4;
        QTest::newRow("87,380: the widest that fits") << Text(U"A") << 87380.0f << 2184;
    }
    void modules() {
        QFETCH(Text, text);
        QFETCH(float, scaleHeight);
        QFETCH(int, module);
        QCOMPARE(Draw(text, scaleHeight, module).second, Symbol(text));
    }

    void emptyTextOnlyClears() { QCOMPARE(Draw(U"").first, QStringList{"Cls"}); }

    // Characters without a pattern take no bars and are still printed; '*' draws the start/stop
    // character. The first sizing counts five characters: 5 x 1.1 x 15 pixels at 15 twips each.
    void barsAndCaption_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<Text>("bars");
        QTest::addColumn<QString>("printed");
        QTest::newRow("#") << Text(U"A#B") << Text(U"AB") << "Print A#B";
        QTest::newRow("e acute, upper case code 201") << Text(U"a\u00E9b") << Text(U"AB") << "Print A\u00C9B";
        QTest::newRow("Cyrillic, outside the code page") << Text(U"A\u0430B") << Text(U"AB") << "Print A\u0430B";
        QTest::newRow("* inside") << Text(U"A*B") << Text(U"A*B") << "Print A*B";
    }
    void barsAndCaption() {
        QFETCH(Text, text);
        QFETCH(Text, bars);
        QFETCH(QString, printed);
        const auto [log, modules] = Draw(text);
        QCOMPARE(modules, Symbol(bars));
        QCOMPARE(log[3], "Width 1237.5");
        QCOMPARE(log.back(), printed);
    }

    // An error ends the call where it happens and reaches the caller; what was
    // done by then stays done. failAt: the log entry that the surface refuses.
    void failureStopsWhereItHappens_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<ErrorNumber>("error");
        QTest::addColumn<QString>("lastDone");
        using enum ErrorNumber;
        QTest::newRow("ScaleHeight 87,381") << Setup{.scaleHeightPixels = 87381} << -1 << Overflow << "Picture none";
        QTest::newRow("ScaleWidth 0") << Setup{.widthTwips = 0} << -1 << DivisionByZero << "Picture none";
        QTest::newRow("Print refused") << Setup{} << 52 << InvalidPropertyValue << "CurrentY 63.75";
    }
    void failureStopsWhereItHappens() {
        QFETCH(Setup, setup);
        QFETCH(int, failAt);
        QFETCH(ErrorNumber, error);
        QFETCH(QString, lastDone);
        RecordingSurface surface(setup);
        if (failAt >= 0) surface.FailAt(static_cast<std::size_t>(failAt), error);
        QCOMPARE(tallyline::ErrorOf([&] { tallyline::DrawBarcode(U"A1", surface); }), std::optional{error});
        QCOMPARE(LogOf(surface).back(), lastDone);
    }
};

QTEST_APPLESS_MAIN(DrawBarcodeTest)
#include "tst_drawbarcode.moc"
