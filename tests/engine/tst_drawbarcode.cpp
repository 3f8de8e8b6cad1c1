#include <QtTest>

#include <map>

#include "engine/CheckCharacter.h"
#include "engine/DrawBar.h"
#include "platform/picture/PictureSurface.h"

using tallyline::Text;

namespace {

// Every character of ISO/IEC 16388's Code 39 table, wide elements two modules wide, each led by its one-module gap:
// '1' black, '0' white, and the start/stop character, '*' in the table.
const QString kStartStop = "0100101101101";
const std::map<char32_t, QString> kModules = {
    {' ', "0100110101101"}, {'$', "0100100100101"}, {'%', "0101001001001"}, {'+', "0100101001001"},
    {'-', "0100101011011"}, {'.', "0110010101101"}, {'/', "0100100101001"}, {'0', "0101001101101"},
    {'1', "0110100101011"}, {'2', "0101100101011"}, {'3', "0110110010101"}, {'4', "0101001101011"},
    {'5', "0110100110101"}, {'6', "0101100110101"}, {'7', "0101001011011"}, {'8', "0110100101101"},
    {'9', "0101100101101"}, {'A', "0110101001011"}, {'B', "0101101001011"}, {'C', "0110110100101"},
    {'D', "0101011001011"}, {'E', "0110101100101"}, {'F', "0101101100101"}, {'G', "0101010011011"},
    {'H', "0110101001101"}, {'I', "0101101001101"}, {'J', "0101011001101"}, {'K', "0110101010011"},
    {'L', "0101101010011"}, {'M', "0110110101001"}, {'N', "0101011010011"}, {'O', "0110101101001"},
    {'P', "0101101101001"}, {'Q', "0101010110011"}, {'R', "0110101011001"}, {'S', "0101101011001"},
    {'T', "0101011011001"}, {'U', "0110010101011"}, {'V', "0100110101011"}, {'W', "0110011010101"},
    {'X', "0100101101011"}, {'Y', "0110010110101"}, {'Z', "0100110110101"},
};

// Start, the characters that have bars, stop, a trailing gap.
QString Symbol(const Text& bars) {
    QString modules = kStartStop;
    for (const char32_t c : bars) modules += kModules.contains(c) ? kModules.at(c) : QString();
    return modules + kStartStop + '0';
}

// The window's picture surface, 600 twips wide and so many pixels high, noting what the renderer measured and
// printed; a caption of 6 pixels leaves bars to see on 20.
struct Drawn : tallyline::PictureSurface {
    Drawn(const Text& text, float heightPixels) : PictureSurface(Keeping::Pixels) {
        Width(600);
        Height(heightPixels * tallyline::kTwipsPerPixel);
        QFont small;
        small.setPixelSize(6);
        Font(small);
        tallyline::DrawBarcode(text, *this);
    }
    float TextWidth(tallyline::TextView text) const override {
        measured = QString::fromStdU32String(Text(text));
        return PictureSurface::TextWidth(text);
    }
    void Print(tallyline::TextView text) override {
        printed = QString::fromStdU32String(Text(text));
        PictureSurface::Print(text);
    }
    // The top row, across the bars: '1' black, '0' white, '-' anything else.
    QString TopRow() const {
        const QImage image = Image().Image();
        QString row;
        for (int x = 0; x < image.width(); ++x)
            row += image.pixel(x, 0) == qRgb(0, 0, 0) ? '1' : image.pixel(x, 0) == qRgb(255, 255, 255) ? '0' : '-';
        return row;
    }
    mutable QString measured;
    QString printed;
};

}  // namespace

class DrawBarcodeTest : public QObject {
    Q_OBJECT

private slots:
    // Each code up to 91, the first past the table, alone; A at other heights, the module ScaleHeight / 40 pixels,
    // rounded half to even, at least 1, and the picture one module of its white background wider than the symbol. The
    // caption is the text in capitals, as measured, printed and told to a screen reader. Characters without a pattern
    // take no bars and are still printed, '*' too wherever it stands: the start/stop character is drawn at the ends
    // alone.
    void modulesAndCaption_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<float>("height");
        QTest::addColumn<int>("module");
        QTest::addColumn<Text>("printed");
        for (int code = 0; code <= 91; ++code)
            QTest::addRow("%02d code %d", code, code)
                << Text(1, char32_t(code)) << 40.f << 1 << Text(1, char32_t(code));
        QTest::newRow("92 20: 0.5 rounds to 0, raised to 1") << Text(U"A") << 20.f << 1 << Text(U"A");
        QTest::newRow("93 60: 1.5 rounds to 2") << Text(U"A") << 60.f << 2 << Text(U"A");
        QTest::newRow("94 100: 2.5 rounds to 2") << Text(U"A") << 100.f << 2 << Text(U"A");
        QTest::newRow("95 lower case") << Text(U"a1") << 40.f << 1 << Text(U"A1");
        QTest::newRow("96 e acute, code 201") << Text(U"a\u00E9b") << 40.f << 1 << Text(U"A\u00C9B");
        QTest::newRow("97 * inside") << Text(U"A*B") << 40.f << 1 << Text(U"A*B");
        QTest::newRow("98 * at both ends, as a start and a stop would be typed")
            << Text(U"*A1*") << 40.f << 1 << Text(U"*A1*");
    }
    void modulesAndCaption() {
        QFETCH(Text, text);
        QFETCH(float, height);
        QFETCH(int, module);
        QFETCH(Text, printed);
        const Drawn drawn(text, height);
        QString pixels;
        for (const QChar each : Symbol(printed) + '0') pixels += QString(module, each);
        QCOMPARE(drawn.TopRow(), pixels);
        const QString caption = QString::fromStdU32String(printed);
        QCOMPARE(drawn.printed, caption);
        QCOMPARE(drawn.measured, caption);
        QCOMPARE(QString::fromStdU32String(tallyline::BarcodeCaption(text)), caption);
    }

    // The modulo-43 check character, as libzint makes it and zbar reads it: the sum of the values of the characters
    // with bars ('0' 0 .. 'Z' 35, '-' 36, '.' 37, ' ' 38, '$' 39, '/' 40, '+' 41, '%' 42), modulo 43. Lower case
    // counts as capitals; characters without bars not at all.
    void checkCharacter_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<char32_t>("check");
        QTest::newRow("01 CODE39: 75 is 32") << Text(U"CODE39") << char32_t(U'W');
        QTest::newRow("04 0 is 0") << Text(U"0") << char32_t(U'0');
        QTest::newRow("05 42, the last value") << Text(U"Z7") << char32_t(U'%');
        QTest::newRow("06 43 wraps to 0") << Text(U"Z8") << char32_t(U'0');
        QTest::newRow("08 every symbol but the letters and digits: 255 is 40") << Text(U"AB-12 $/+.") << char32_t(U'/');
        QTest::newRow("09 lower case as capitals") << Text(U"code39") << char32_t(U'W');
        QTest::newRow("10 characters without bars count nothing") << Text(U"*CO#DE\u00E939*") << char32_t(U'W');
        QTest::newRow("11 no character with bars") << Text(U"#*") << char32_t(U'0');
    }
    void checkCharacter() {
        QFETCH(Text, text);
        QTEST(tallyline::CheckCharacter(text), "check");
    }
};

QTEST_MAIN(DrawBarcodeTest)
#include "tst_drawbarcode.moc"
