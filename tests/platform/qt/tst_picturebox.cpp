#include <QtTest>

#include <cmath>

#include "platform/qt/PictureBox.h"
#include "tests/support/ErrorCapture.h"
#include "tests/support/PixelRows.h"

using namespace tallyline;

namespace {

// Ten by ten whole pixels in pixel scale, on the panel so that white would show.
struct GreyBox : PictureBox {
    GreyBox() {
        Move(0, 0, 10 * kTwipsPerPixel, 10 * kTwipsPerPixel);
        BackColor(kPanel);
        ScaleMode(ScaleModeKind::Pixels);
    }
};

// Room for a caption, in pixel scale.
struct CaptionBox : PictureBox {
    CaptionBox() {
        Move(0, 0, 120 * kTwipsPerPixel, 40 * kTwipsPerPixel);
        ScaleMode(ScaleModeKind::Pixels);
    }

    void Points(int points) {
        QFont font(QStringLiteral("Sans Serif"));
        font.setPointSize(points);
        Font(font);
    }
};

}  // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    // Sizes are whole pixels, a tie going to the even one; a size that no
    // pixel count holds is refused and changes nothing.
    void widthIsWholePixels_data() {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("pixels");  // -1: refused
        QTest::newRow("01 tie goes down to even") << 37.5f << 2;
        QTest::newRow("02 tie goes up to even") << 52.5f << 4;
        QTest::newRow("03 largest") << 491505.f << 32767;
        QTest::newRow("04 tie rounding past the largest") << 491512.5f << -1;
        QTest::newRow("05 negative, rounding to zero") << -7.f << -1;
    }
    void widthIsWholePixels() {
        QFETCH(float, twips);
        QFETCH(int, pixels);
        GreyBox box;
        const auto error = ErrorOf([&] { box.Width(twips); });
        QCOMPARE(error, pixels < 0 ? std::optional(ErrorNumber::InvalidPropertyValue) : std::nullopt);
        const int expected = pixels < 0 ? 10 : pixels;
        QCOMPARE(box.ScaleWidth(), static_cast<float>(expected));
        QCOMPARE(box.Image().PixelWidth(), expected);
    }

    // A box covers the pixels whose centres it holds, so boxes that share an
    // edge never overlap.
    void boxCoversPixelsWhoseCentresItHolds_data() {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("right");
        QTest::addColumn<QString>("columns");
        QTest::newRow("01 2 to 4") << 2.f << 4.f << "--##------";
        QTest::newRow("02 corners swapped") << 4.f << 2.f << "--##------";
        QTest::newRow("03 centres inside") << 2.4f << 4.6f << "--###-----";
        QTest::newRow("04 centres outside") << 2.6f << 4.4f << "---#------";
        QTest::newRow("05 clipped") << -5.f << 1.f << "#---------";
        QTest::newRow("06 infinite") << -INFINITY << INFINITY << "##########";
        QTest::newRow("07 not a number") << NAN << 4.f << "----------";
    }
    void boxCoversPixelsWhoseCentresItHolds() {
        QFETCH(float, left);
        QFETCH(float, right);
        QFETCH(QString, columns);
        GreyBox box;
        box.Line(left, 0.4f, right, 9.6f, kBlack);
        const QImage image = box.Image().Image();
        for (int y = 0; y < image.height(); ++y) QCOMPARE(PixelRow(image, y), columns);
    }

    // The box keeps what it laid out last; measuring and printing must still
    // follow the text and font of the moment.
    void captionFollowsTextAndFont_data() {
        QTest::addColumn<QString>("earlierText");
        QTest::addColumn<int>("earlierPoints");
        QTest::newRow("01 same text, another font") << "AB1" << 8;
        QTest::newRow("02 another text, same font") << "AB2" << 12;
        QTest::newRow("03 longer text, same start") << "AB12" << 12;
        QTest::newRow("04 same text and font") << "AB1" << 12;
    }
    void captionFollowsTextAndFont() {
        QFETCH(QString, earlierText);
        QFETCH(int, earlierPoints);
        const Text earlier(earlierText.toStdU32String());
        const Text caption(U"AB1");

        CaptionBox box;
        box.Points(earlierPoints);
        box.TextWidth(earlier);
        box.Print(earlier);
        box.Cls();
        box.Points(12);
        const float width = box.TextWidth(caption);
        box.Print(caption);

        CaptionBox fresh;
        fresh.Points(12);
        fresh.Print(caption);
        QCOMPARE(box.Image().Image(), fresh.Image().Image());
        QCOMPARE(width, fresh.TextWidth(caption));
    }

    // Text is centred by its measured width, so every character drawn counts:
    // U+009C once cut the measure short while the rest was still drawn.
    void widthCountsEveryCharacterDrawn() {
        CaptionBox box;
        QVERIFY(box.TextWidth(U"A\u009CB") > box.TextWidth(U"AB"));
    }
};

QTEST_MAIN(PictureBoxTest)
#include "tst_picturebox.moc"
