#include <QImage>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>
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

std::string EqualBars(int count) {
    std::string modules = "0";
    for (int bar = 0; bar < count; ++bar) modules += "10";
    return modules;
}

// Prints the modules as a printer would: each bar spread by some dots to
// the right, in a grey, dots rounded to the sample by how much of it is
// covered, within quiet zones and white rows above and below.
struct Print {
    double dotsPerModule = 4;
    double spread = 0;
    int barGrey = 0;
};

GreyImage Printed(const std::string& modules, const Print& print) {
    const double margin = kQuietModules * print.dotsPerModule;
    const int width = static_cast<int>(std::ceil(2 * margin + modules.size() * print.dotsPerModule));
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

GreyImage Cropped(GreyImage page, int width) {
    GreyImage cut{width, page.height, {}};
    for (int y = 0; y < page.height; ++y) {
        const auto row = page.dots.begin() + static_cast<std::ptrdiff_t>(y) * page.width;
        cut.dots.insert(cut.dots.end(), row, row + width);
    }
    return cut;
}

QImage ToQImage(const GreyImage& page) {
    QImage image(page.width, page.height, QImage::Format_Grayscale8);
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) image.scanLine(y)[x] = page.At(x, y);
    }
    return image;
}

using PageMaker = std::function<GreyImage()>;

}  // namespace

Q_DECLARE_METATYPE(PageMaker)

class TestScanGrade : public QObject {
    Q_OBJECT

private slots:
    void grades_data() {
        QTest::addColumn<PageMaker>("page");
        QTest::addColumn<double>("grade");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<double>>("widths");  // every width measured is one of these; none: not checked
        QTest::addColumn<QList<int>>("runs");  // the distinct whole-dot widths, shortest first; none: not checked

        const std::string modules = Modules(kText);
        const auto printed = [](const std::string& drawn, Print print) {
            return PageMaker([=] { return Printed(drawn, print); });
        };
        const auto as = [](auto make) { return PageMaker(make); };
        QTest::newRow("one dot a module") << printed(modules, {.dotsPerModule = 1}) << 4.0 << "TALLY-39" << 10
                                          << QList<double>{1, 2} << QList<int>{1, 2};
        QTest::newRow("four dots a module") << printed(modules, {}) << 4.0 << "TALLY-39" << 10 << QList<double>{4, 8}
                                            << QList<int>{4, 8};
        // Edges halfway through a dot, drawn grey, are placed halfway.
        QTest::newRow("two and a half dots, smoothed") << printed(modules, {.dotsPerModule = 2.5}) << 4.0
                                                      << "TALLY-39" << 10 << QList<double>{2.5, 5}
                                                      // A dot half covered is no dot: it joins the space.
                                                      << QList<int>{2, 3, 4, 5, 6};
        // Bars a dot too wide: the wide spaces keep 0.43 of their margin to
        // the narrow/wide decision (C).
        QTest::newRow("bars spread a dot") << printed(modules, {.spread = 1}) << 2.0 << "TALLY-39" << 10
                                           << QList<double>{3, 5, 7, 9} << QList<int>{3, 5, 7, 9};
        // A symbol contrast of 57% (B).
        QTest::newRow("grey bars") << printed(modules, {.barGrey = 110}) << 3.0 << "TALLY-39" << 10
                                   << QList<double>{4, 8} << QList<int>{4, 8};
        // Narrow spaces between narrow bars keep just under half the contrast
        // (D), and edges next to wide elements move by a quarter dot, but
        // no dot crosses half the reflectance.
        QTest::newRow("blurred") << as([=] { return Blurred(Printed(modules, {.dotsPerModule = 2})); }) << 1.0
                                 << "TALLY-39" << 10 << QList<double>{} << QList<int>{2, 4};
        // A dip of 16% in the wide spaces (B), of 40% (F).
        QTest::newRow("light specks") << as([=] { return Specked(Printed(modules, {}), 214); }) << 3.0 << "TALLY-39"
                                      << 10 << QList<double>{4, 8} << QList<int>{4, 8};
        QTest::newRow("dark specks") << as([=] { return Specked(Printed(modules, {}), 153); }) << 0.0 << "TALLY-39"
                                     << 10 << QList<double>{4, 8} << QList<int>{4, 8};
        QTest::newRow("no trailing quiet zone") << as([=] {
            const GreyImage whole = Printed(modules, {});
            return Cropped(whole, whole.width - kQuietModules * 4 + 8);
        }) << 0.0 << "" << 10 << QList<double>{4, 8} << QList<int>{4, 8};
        QTest::newRow("not Code 39") << printed(EqualBars(40), {}) << 0.0 << "" << 10 << QList<double>{}
                                     << QList<int>{4};
        QTest::newRow("blank page") << as([] { return GreyImage{50, 50, std::vector<std::uint8_t>(2500, 255)}; })
                                    << 0.0 << "" << 0 << QList<double>{} << QList<int>{};
        QTest::newRow("empty page") << as([] { return GreyImage{}; }) << 0.0 << "" << 0 << QList<double>{}
                                    << QList<int>{};
    }

    void grades() {
        QFETCH(PageMaker, page);
        QFETCH(double, grade);
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(QList<double>, widths);
        QFETCH(QList<int>, runs);
        const SymbolGrade symbol = GradeSymbol(page());
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
        QCOMPARE(ReadCode39(ToQImage(Printed(Modules(kText), {}))), QStringList{"TALLY-39"});
    }
};

QTEST_APPLESS_MAIN(TestScanGrade)
#include "tst_scangrade.moc"
