#include <QtTest>
#include <algorithm>
#include <cmath>

#include "engine/DrawBar.h"
#include "tests/support/RecordingSurface.h"
#include "tools/scangrade/ScanGrade.h"

using namespace tallyline;
using namespace tallyline::scangrade;

namespace {

// The characters whose bars the engine under test has exchanged: none for the
// engine itself, X and Y for the planted copy.
#ifdef TALLYLINE_PLANTED_CHARACTERS
const QString kPlanted = TALLYLINE_PLANTED_CHARACTERS;
#else
const QString kPlanted;
#endif

constexpr int kQuietDots = 40;  // 20 modules of 2 dots
constexpr int kBarDots = 40;

// The boxes that the engine drew, black and white dot for dot, between quiet zones.
GreyImage Page(const std::vector<testing::RecordedBox>& boxes) {
    const int width = 2 * kQuietDots + static_cast<int>(std::lround(boxes.back().right));
    GreyImage page{width, kBarDots, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * kBarDots, 255)};
    for (const testing::RecordedBox& box : boxes) {
        const int right = kQuietDots + static_cast<int>(std::lround(box.right));
        for (int x = kQuietDots + static_cast<int>(std::lround(box.left)); x < right; ++x)
            for (int y = 0; y < kBarDots; ++y) page.At(x, y) = box.colour == kBlack ? 0 : 255;
    }
    return page;
}

}  // namespace

// A print is worth grading only if the verifier reads it independently of the
// engine: a print of a character whose bars are wrong in the engine's table
// must not read back as that character.
class TestGradedPrint : public QObject {
    Q_OBJECT

private slots:
    void printsReadBack_data() {
        QTest::addColumn<QString>("text");
        // The engine and the verifier each keep a table of their own: read back, every character
        // of the engine's holds them to each other.
        QTest::newRow("01 every character") << "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
        // The planted engine's other characters still read back, so what fails below is the
        // planted entries and not the page.
        QTest::newRow("02 no X or Y") << "CODE 39/TALL+2.5%$";
        QTest::newRow("03 a Y") << "TALLY-39";
        QTest::newRow("04 an X alone") << "X";
    }
    void printsReadBack() {
        QFETCH(QString, text);
        testing::RecordingSurface surface({});
        DrawBarcode(text.toStdU32String(), surface);
        const SymbolGrade symbol = GradeSymbol(Page(surface.Boxes()));
        QCOMPARE(static_cast<int>(symbol.scans.size()), 10);

        const bool planted = std::any_of(kPlanted.begin(), kPlanted.end(), [&](QChar c) { return text.contains(c); });
        for (const ScanLineGrade& line : symbol.scans) {
            const bool readBack = line.decoded.ok && QString::fromStdString(line.decoded.text) == text;
            const QString read = QString::fromStdString(line.decoded.text + line.decoded.problem);
            QVERIFY2(readBack != planted, qPrintable(QString("row %1 read: %2").arg(line.row).arg(read)));
        }
        if (!planted) QCOMPARE(symbol.grade, 4.0);
    }
};

QTEST_APPLESS_MAIN(TestGradedPrint)
#include "tst_gradedprint.moc"
