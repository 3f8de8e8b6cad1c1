#include <QtTest>

#include "PictureBox.h"

using namespace tallyline;

namespace {

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

class PictureBoxCaptionTest : public QObject {
    Q_OBJECT
private slots:
    // The box keeps what it laid out last; measuring and printing must still
    // follow the text and font of the moment.
    void captionFollowsTextAndFont_data() {
        QTest::addColumn<QString>("earlierText");
        QTest::addColumn<int>("earlierPoints");
        QTest::newRow("same text, another font") << "AB1" << 8;
        QTest::newRow("another text, same font") << "AB2" << 12;
        QTest::newRow("longer text, same start") << "AB12" << 12;
        QTest::newRow("same text and font") << "AB1" << 12;
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

QTEST_MAIN(PictureBoxCaptionTest)
#include "tst_pictureboxcaption.moc"
