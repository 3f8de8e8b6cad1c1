#include <QtTest>

#include <QRandomGenerator>

#include <memory>

#include "Code39Reader.h"
#include "DrawBar.h"
#include "PictureBox.h"
#include "QtText.h"

using namespace tallyline;

namespace {

constexpr QRgb kBlackPixel = 0xFF000000;
constexpr QRgb kWhitePixel = 0xFFFFFFFF;
constexpr Colour kPanel = RGB(212, 208, 200);
constexpr QRgb kPanelPixel = 0xFFD4D0C8;
const QString kCode39Characters = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");

// The barcode's box as the window lays it out: 41 x 89 pixels, drawn in the
// window's default font.
std::unique_ptr<PictureBox> WindowPicture() {
    auto box = std::make_unique<PictureBox>();
    box->Move(120, 720, 615, 1335);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    box->Font(font);
    return box;
}

QImage Drawn(const QString& text, Colour background = kWindowBackground) {
    const auto box = WindowPicture();
    box->BackColor(background);
    DrawBarcode(ToText(text), *box);
    return box->Image().Image();
}

// The first row beneath the bars: the start character's first bar, columns
// 2 and 3, is black down to there.
int CaptionBandTop(const QImage& image) {
    int y = 0;
    while (y < image.height() && image.pixel(2, y) == kBlackPixel) ++y;
    return y;
}

}  // namespace

class BarcodeOnPictureBox : public QObject {
    Q_OBJECT
private slots:
    void scannerReadsTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("read");
        for (const QChar character : kCode39Characters) {
            QTest::addRow("character '%c'", character.toLatin1()) << QString(character) << QStringList{character};
        }
        QRandomGenerator random(20261206);
        for (int sample = 0; sample < 40; ++sample) {
            QString text;
            const int length = random.bounded(1, 24);
            for (int i = 0; i < length; ++i) text += kCode39Characters[random.bounded(kCode39Characters.size())];
            QTest::addRow("sample %d", sample) << text << QStringList{text};
        }
        QTest::newRow("lower case") << "tally line 7" << QStringList{"TALLY LINE 7"};
        QTest::newRow("without patterns") << "A#B@C!D" << QStringList{"ABCD"};
        QTest::newRow("accented letter") << QStringLiteral("\u00E9T\u00C91") << QStringList{"T1"};
        // A star draws a start/stop character at its place; a scanner then
        // reads no symbol at all from the picture.
        QTest::newRow("star inside") << "AB*CD" << QStringList{};
        QTest::newRow("star alone") << "*" << QStringList{};
    }
    void scannerReadsTheText() {
        QFETCH(QString, text);
        QFETCH(QStringList, read);
        QCOMPARE(ReadCode39(Drawn(text)), read);
    }

    void widthFollowsCharactersWithPatterns_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixels");
        // 26 pixels (13 modules of two) for each character with a pattern,
        // the start and stop characters included, and four for the right
        // margin.
        QTest::newRow("two characters") << "A1" << 108;
        QTest::newRow("empty pattern takes no width") << "A#B" << 108;
        QTest::newRow("no patterns at all") << "#@!" << 56;
        QTest::newRow("longest text") << "ABCDEFGHIJKLMNOPQRSTUVW" << 654;
    }
    void widthFollowsCharactersWithPatterns() {
        QFETCH(QString, text);
        QFETCH(int, pixels);
        QCOMPARE(Drawn(text).size(), QSize(pixels, 89));
    }

    void columnsFollowTheModules() {
        const QImage image = Drawn(QStringLiteral("A1"), kPanel);
        // Start character, A, 1, stop character, two pixels a module.
        const QList<QPair<int, int>> bars = {{2, 4},   {8, 10},  {12, 16}, {18, 22}, {24, 26},
                                             {28, 32}, {34, 36}, {38, 40}, {44, 46}, {48, 52},
                                             {54, 58}, {60, 62}, {66, 68}, {70, 72}, {74, 78},
                                             {80, 82}, {86, 88}, {90, 94}, {96, 100}, {102, 104}};
        const int captionTop = CaptionBandTop(image);
        QVERIFY(captionTop > 40 && captionTop < image.height());
        for (const int y : {0, captionTop / 2, captionTop - 1}) {
            for (int x = 0; x < image.width(); ++x) {
                const bool bar = std::any_of(bars.begin(), bars.end(),
                                             [x](const auto& bar) { return x >= bar.first && x < bar.second; });
                // Margins and gaps are white whatever the background; only
                // the last module shows it.
                const QRgb expected = x >= 106 ? kPanelPixel : bar ? kBlackPixel : kWhitePixel;
                QVERIFY2(image.pixel(x, y) == expected, qPrintable(QStringLiteral("x %1, y %2").arg(x).arg(y)));
            }
        }
        for (int y = captionTop; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) QVERIFY(image.pixel(x, y) != kWhitePixel);
        }
    }

    void captionIsCentredBeneathTheBars_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << "HOH";
        QTest::newRow("mixed") << "TALLY 2026";
        QTest::newRow("longest") << "MOM WOW OHO HIH XOX VAV";
    }
    void captionIsCentredBeneathTheBars() {
        QFETCH(QString, text);
        const QImage image = Drawn(text);
        int left = image.width();
        int right = -1;
        for (int y = CaptionBandTop(image); y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) >= 128) continue;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        QVERIFY(right > left);
        const double centre = (left + right + 1) / 2.0;
        QVERIFY2(std::abs(centre - image.width() / 2.0) <= 1.0,
                 qPrintable(QStringLiteral("ink %1..%2 in %3").arg(left).arg(right).arg(image.width())));
    }
};

QTEST_MAIN(BarcodeOnPictureBox)
#include "tst_barcodeonpicturebox.moc"
