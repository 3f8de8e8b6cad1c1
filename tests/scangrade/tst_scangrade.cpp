#include <QImage>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <set>

#include "engine/DrawBar.h"
#include "tests/support/Code39Reader.h"
#include "tests/support/RecordingSurface.h"
#include "tools/scangrade/ScanGrade.h"

using namespace tallyline;
using namespace tallyline::scangrade;

namespace {

const Text kText = U"TALLY-39";
constexpr int kQuietModules = 12;
constexpr int kBarDots = 60;
constexpr int kMarginDots = 10;

// The modules that the program draws for the text: '1' black, '0' white.
std::string Modules(const Text& text) {
    testing::RecordingSurface surface({.scaleHeightPixels = 80});
    DrawBarcode(text, surface);
    return surface.Modules(2);
}

// Prints the modules as a printer would: each bar spread by some dots to the right, in a grey,
// dots rounded to the sample by how much of it is covered, within quiet zones and white rows.
struct Print {
    double dotsPerModule = 4;
    double spread = 0;
    int barGrey = 0;
    int quietAfter = kQuietModules;
};

GreyImage Printed(const std::string& modules, const Print& print) {
    const double margin = kQuietModules * print.dotsPerModule;
    const int width = static_cast<int>(std::ceil(margin + (modules.size() + print.quietAfter) * print.dotsPerModule));
    std::vector<double> dark(static_cast<std::size_t>(width));
    for (std::size_t m = 0; m < modules.size(); ++m) {
        if (modules[m] != '1') continue;
        const double left = margin + m * print.dotsPerModule;
        const double right = left + print.dotsPerModule + print.spread;
        for (int x = static_cast<int>(left); x < std::ceil(right); ++x) {
            dark[x] = std::min(1.0, dark[x] + std::min<double>(x + 1, right) - std::max<double>(x, left));
        }
    }
    const int height = kBarDots + 2 * kMarginDots;
    GreyImage page{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, 255)};
    for (int y = kMarginDots; y < kMarginDots + kBarDots; ++y) {
        for (int x = 0; x < width; ++x) {
            page.At(x, y) = static_cast<std::uint8_t>(std::lround(255 - dark[x] * (255 - print.barGrey)));
        }
    }
    return page;
}

// Spreads each dot over its neighbours along the row, a quarter to each side,
// as an out-of-focus scan would.
GreyImage Blurred(GreyImage page) {
    const GreyImage sharp = page;
    for (int y = 0; y < page.height; ++y) {
        for (int x = 1; x + 1 < page.width; ++x) {
            const int spread = sharp.At(x - 1, y) + 2 * sharp.At(x, y) + sharp.At(x + 1, y);
            page.At(x, y) = static_cast<std::uint8_t>((spread + 2) / 4);
        }
    }
    return page;
}

// A grey dot in the middle of every space of two modules or more: the
// specks of a dirty print head.
GreyImage Specked(GreyImage page, int grey) {
    for (int y = 0; y < page.height; ++y) {
        int run = 0;
        for (int x = 0; x < page.width; ++x) {
            if (page.At(x, y) == 255) {
                ++run;
                continue;
            }
            if (run >= 8 && run < x) page.At(x - run / 2, y) = static_cast<std::uint8_t>(grey);
            run = 0;
        }
    }
    return page;
}

}  // namespace

Q_DECLARE_METATYPE(GreyImage)

class TestScanGrade : public QObject {
    Q_OBJECT

private slots:
    void grades_data() {
        QTest::addColumn<GreyImage>("page");
        QTest::addColumn<double>("grade");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<double>>("widths");  // every width measured is one of these; none: not checked
        QTest::addColumn<QList<int>>("runs");  // the distinct whole-dot widths, shortest first; none: not checked

        const std::string modules = Modules(kText);
        // Ten scan lines cross any page that shows bars.
        const auto row = [](const char* name, const GreyImage& page, double grade, const char* text) -> QTestData& {
            return QTest::newRow(name) << page << grade << QString(text) << (page.width > 50 ? 10 : 0);
        };
        const QList<double> fourDots{4, 8};
        row("01 one dot a module", Printed(modules, {.dotsPerModule = 1}), 4, "TALLY-39") << QList<double>{1, 2}
                                                                                       << QList<int>{1, 2};
        row("02 four dots a module", Printed(modules, {}), 4, "TALLY-39") << fourDots << QList<int>{4, 8};
        // Edges halfway through a dot, drawn grey, are placed halfway; a dot half covered is no
        // dot: it joins the space.
        row("03 two and a half dots, smoothed", Printed(modules, {.dotsPerModule = 2.5}), 4, "TALLY-39")
            << QList<double>{2.5, 5} << QList<int>{2, 3, 4, 5, 6};
        // Bars a dot too wide: the wide spaces keep 0.43 of their margin to the narrow/wide
        // decision (C).
        row("04 bars spread a dot", Printed(modules, {.spread = 1}), 2, "TALLY-39") << QList<double>{3, 5, 7, 9}
                                                                                  << QList<int>{3, 5, 7, 9};
        // A symbol contrast of (255 - 110) / 255 = 57% (B).
        row("05 grey bars", Printed(modules, {.barGrey = 110}), 3, "TALLY-39") << fourDots << QList<int>{4, 8};
        // Narrow spaces between narrow bars keep just under half the contrast (D), and edges next
        // to wide elements move by a quarter dot, but no dot crosses half the reflectance.
        row("06 blurred", Blurred(Printed(modules, {.dotsPerModule = 2})), 1, "TALLY-39") << QList<double>{}
                                                                                        << QList<int>{2, 4};
        // A dip of (255 - 214) / 255 = 16% in the wide spaces (B), of (255 - 153) / 255 = 40% (F).
        row("07 light specks", Specked(Printed(modules, {}), 214), 3, "TALLY-39") << fourDots << QList<int>{4, 8};
        row("08 dark specks", Specked(Printed(modules, {}), 153), 0, "TALLY-39") << fourDots << QList<int>{4, 8};
        row("09 no trailing quiet zone", Printed(modules, {.quietAfter = 2}), 0, "") << fourDots << QList<int>{4, 8};
        std::string equalBars = "0";
        for (int bar = 0; bar < 40; ++bar) equalBars += "10";
        row("10 not Code 39", Printed(equalBars, {}), 0, "") << QList<double>{} << QList<int>{4};
        row("11 blank page", GreyImage{50, 50, std::vector<std::uint8_t>(2500, 255)}, 0, "") << QList<double>{}
                                                                                             << QList<int>{};
        row("12 empty page", GreyImage{}, 0, "") << QList<double>{} << QList<int>{};
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
                const bool expected = widths.isEmpty() || std::any_of(widths.begin(), widths.end(), [&](double w) {
                    return std::abs(width - w) < 0.01;
                });
                QVERIFY2(expected, qPrintable(QString("measured a width of %1").arg(width)));
            }
            if (!runs.isEmpty()) {
                const std::set<int> distinct(line.dotRuns.begin(), line.dotRuns.end());
                QCOMPARE(QList<int>(distinct.begin(), distinct.end()), runs);
            }
        }
    }

    // The perfect symbols are real Code 39: another reader agrees.
    void perfectSymbolIsReadElsewhere() {
        GreyImage page = Printed(Modules(kText), {});
        const QImage image(page.dots.data(), page.width, page.height, page.width, QImage::Format_Grayscale8);
        QCOMPARE(ReadCode39(image), QStringList{"TALLY-39"});
    }
};

QTEST_APPLESS_MAIN(TestScanGrade)
#include "tst_scangrade.moc"
