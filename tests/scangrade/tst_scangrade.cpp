#include <QtTest>
#include <algorithm>
#include <cmath>
#include <set>

#include "tools/scangrade/ScanGrade.h"

using namespace tallyline::scangrade;

namespace {

// *TALLY-39* from ISO/IEC 16388's Code 39 table, '1' black, '0' white, each character led by
// its one-module gap, and the gap after the last, as the program draws it.
const std::string kModules = "0100101101101" "0101011011001" "0110101001011" "0101101010011" "0101101010011"
                             "0110010110101" "0100101011011" "0110110010101" "0101100101101" "0100101101101" "0";
constexpr int kQuietModules = 12;
constexpr int kBarDots = 60;
constexpr int kMarginDots = 10;

// Prints the modules as a printer would: each bar spread by some dots to the right, in a grey,
// dots rounded to the sample by how much of it is covered, within quiet zones and white rows.
struct Print {
    double dotsPerModule = 4;
    double spread = 0;
    int barGrey = 0;
    int quietAfter = kQuietModules;
    int speckGrey = 255;  // a dot of it in the middle of every space of two modules or more: a dirty print head
    bool blurred = false;  // each dot spread over its neighbours, a quarter to each side: an out-of-focus scan
};

GreyImage Printed(const std::string& modules, const Print& print) {
    const double margin = kQuietModules * print.dotsPerModule;
    const int width = static_cast<int>(std::ceil(margin + (modules.size() + print.quietAfter) * print.dotsPerModule));
    std::vector<double> dark(static_cast<std::size_t>(width));
    for (std::size_t m = 0; m < modules.size(); ++m) {
        if (modules[m] != '1') continue;
        const double left = margin + m * print.dotsPerModule;
        const double right = left + print.dotsPerModule + print.spread;
        for (int x = static_cast<int>(left); x < std::ceil(right); ++x)
            dark[x] = std::min(1.0, dark[x] + std::min<double>(x + 1, right) - std::max<double>(x, left));
    }
    std::vector<int> row(dark.size());
    for (int x = 0, run = 0; x < width; ++x) {
        row[x] = static_cast<int>(std::lround(255 - dark[x] * (255 - print.barGrey)));
        if (row[x] == 255) {
            ++run;
            continue;
        }
        if (run >= 8 && run < x) row[x - run / 2] = print.speckGrey;
        run = 0;
    }
    const std::vector<int> sharp = row;
    for (int x = 1; print.blurred && x + 1 < width; ++x) row[x] = (sharp[x - 1] + 2 * sharp[x] + sharp[x + 1] + 2) / 4;
    const int height = kBarDots + 2 * kMarginDots;
    GreyImage page{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, 255)};
    for (int y = kMarginDots; y < kMarginDots + kBarDots; ++y)
        for (int x = 0; x < width; ++x) page.At(x, y) = static_cast<std::uint8_t>(row[x]);
    return page;
}

}  // namespace

class TestScanGrade : public QObject {
    Q_OBJECT

private slots:
    void grades_data() {
        QTest::addColumn<GreyImage>("page");
        QTest::addColumn<double>("grade");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<double>>("widths");  // every width measured is one of these; none: not checked
        QTest::addColumn<QList<int>>("runs");  // the distinct whole-dot widths, shortest first

        // Ten scan lines cross any page that shows bars.
        const auto row = [](const char* name, const GreyImage& page, double grade, const char* text,
                            const QList<double>& widths, const QList<int>& runs) {
            QTest::newRow(name) << page << grade << QString(text) << (page.width > 50 ? 10 : 0) << widths << runs;
        };
        const char* tally = "TALLY-39";
        row("01 one dot a module", Printed(kModules, {.dotsPerModule = 1}), 4, tally, {1, 2}, {1, 2});
        row("02 four dots a module", Printed(kModules, {}), 4, tally, {4, 8}, {4, 8});
        // Edges halfway through a dot, drawn grey, are placed halfway; a dot half covered is no
        // dot: it joins the space.
        row("03 two and a half dots, smoothed", Printed(kModules, {.dotsPerModule = 2.5}), 4, tally, {2.5, 5}, {2, 3, 4, 5, 6});
        // Bars a dot too wide: the wide spaces keep 0.43 of their margin to the narrow/wide decision (C).
        row("04 bars spread a dot", Printed(kModules, {.spread = 1}), 2, tally, {3, 5, 7, 9}, {3, 5, 7, 9});
        // A symbol contrast of (255 - 110) / 255 = 57% (B).
        row("05 grey bars", Printed(kModules, {.barGrey = 110}), 3, tally, {4, 8}, {4, 8});
        // Narrow spaces between narrow bars keep just under half the contrast (D), and edges next
        // to wide elements move by a quarter dot, but no dot crosses half the reflectance.
        row("06 blurred", Printed(kModules, {.dotsPerModule = 2, .blurred = true}), 1, tally, {}, {2, 4});
        // A dip of (255 - 214) / 255 = 16% in the wide spaces (B), of (255 - 153) / 255 = 40% (F).
        row("07 light specks", Printed(kModules, {.speckGrey = 214}), 3, tally, {4, 8}, {4, 8});
        row("08 dark specks", Printed(kModules, {.speckGrey = 153}), 0, tally, {4, 8}, {4, 8});
        row("09 no trailing quiet zone", Printed(kModules, {.quietAfter = 2}), 0, "", {4, 8}, {4, 8});
        std::string equalBars = "0";
        for (int bar = 0; bar < 40; ++bar) equalBars += "10";
        row("10 not Code 39", Printed(equalBars, {}), 0, "", {}, {4});
        row("11 blank page", GreyImage{50, 50, std::vector<std::uint8_t>(2500, 255)}, 0, "", {}, {});
        row("12 empty page", GreyImage{}, 0, "", {}, {});
    }

    void grades() {
        QFETCH(GreyImage, page);
        QFETCH(double, grade);
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(QList<double>, widths);
        QFETCH(QList<int>, runs);
        const SymbolGrade symbol = GradeSymbol(page);
        QCOMPARE(symbol.grade, grade);
        QCOMPARE(static_cast<int>(symbol.scans.size()), lines);
        for (const ScanLineGrade& line : symbol.scans) {
            QCOMPARE(QString::fromStdString(line.decoded.text), text);
            for (const double width : line.widths) {
                const auto near = [&](double w) { return std::abs(width - w) < 0.01; };
                QVERIFY2(widths.isEmpty() || std::any_of(widths.begin(), widths.end(), near),
                         qPrintable(QString("measured a width of %1").arg(width)));
            }
            const std::set<int> distinct(line.dotRuns.begin(), line.dotRuns.end());
            QCOMPARE(QList<int>(distinct.begin(), distinct.end()), runs);
        }
    }
};

QTEST_APPLESS_MAIN(TestScanGrade)
#include "tst_scangrade.moc"
