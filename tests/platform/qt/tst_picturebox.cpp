#include <QtTest>

#include <functional>
#include <limits>

#include "ErrorCapture.h"
#include "PictureBox.h"

using namespace tallyline;

using Change = std::function<void(PictureBox&)>;

Q_DECLARE_METATYPE(tallyline::ScaleModeKind)
Q_DECLARE_METATYPE(Change)

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr Colour kPanel = RGB(212, 208, 200);
const QColor kPanelColour(212, 208, 200);
const QColor kBlackColour(Qt::black);

// A box of whole pixels in pixel scale, on the panel's grey.
void Prepare(PictureBox& box, int width, int height) {
    box.Move(0, 0, static_cast<float>(width * kTwipsPerPixel), static_cast<float>(height * kTwipsPerPixel));
    box.BackColor(kPanel);
    box.ScaleMode(ScaleModeKind::Pixels);
}

QColor PixelAt(const PictureBox& box, int x, int y) { return box.Image().Image().pixelColor(x, y); }

}  // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT
private slots:
    void widthIsWholePixels_data() {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("pixels");  // -1: refused, nothing changes
        QTest::newRow("design width") << 615.f << 41;
        QTest::newRow("below half") << 7.f << 0;
        QTest::newRow("tie goes down to even") << 37.5f << 2;
        QTest::newRow("tie goes up to even") << 52.5f << 4;
        QTest::newRow("largest") << 491505.f << 32767;
        QTest::newRow("tie rounding past the largest") << 491512.5f << -1;
        QTest::newRow("negative, rounding to zero") << -7.f << -1;
        QTest::newRow("not a number") << kNaN << -1;
        QTest::newRow("infinite") << kInfinity << -1;
    }
    void widthIsWholePixels() {
        QFETCH(float, twips);
        QFETCH(int, pixels);
        PictureBox box;
        Prepare(box, 10, 10);
        box.Line(0, 0, 10, 10, kBlack);
        const auto error = ErrorOf([&] { box.Width(twips); });
        QCOMPARE(error, pixels < 0 ? std::optional(ErrorNumber::InvalidPropertyValue) : std::nullopt);
        const int expected = pixels < 0 ? 10 : pixels;
        QCOMPARE(box.Width(), static_cast<float>(expected * kTwipsPerPixel));
        QCOMPARE(box.ScaleWidth(), static_cast<float>(expected));
        QCOMPARE(box.Image().PixelWidth(), expected);
    }

    void scaleModeChangesUnitsNotPlaces() {
        PictureBox box;
        box.Move(120, 720, 615, 1335);
        box.CurrentY(300);
        QCOMPARE(box.ScaleHeight(), 1335.f);
        box.ScaleMode(ScaleModeKind::Pixels);
        QCOMPARE(box.ScaleHeight(), 89.f);
        QCOMPARE(box.CurrentY(), 20.f);
    }

    void boxCoversPixelsWhoseCentresItHolds_data() {
        QTest::addColumn<ScaleModeKind>("mode");
        QTest::addColumn<QLineF>("corners");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");
        const auto px = ScaleModeKind::Pixels;
        const QString all = "##########";
        const QString none = "..........";
        QTest::newRow("2 to 4") << px << QLineF(2, 0, 4, 10) << "..##......" << all;
        QTest::newRow("corners swapped") << px << QLineF(4, 10, 2, 0) << "..##......" << all;
        QTest::newRow("centres inside") << px << QLineF(2.4, 0.4, 4.6, 2.6) << "..###....." << "###.......";
        QTest::newRow("centres outside") << px << QLineF(2.6, 0, 4.4, 10) << "...#......" << all;
        QTest::newRow("no width") << px << QLineF(3, 0, 3, 10) << none << none;
        QTest::newRow("twips") << ScaleModeKind::Twips << QLineF(30, 0, 60, 150) << "..##......" << all;
        QTest::newRow("clipped") << px << QLineF(-5, -5, 1, 1) << "#........." << "#.........";
        QTest::newRow("infinite") << px << QLineF(-kInfinity, -kInfinity, kInfinity, kInfinity) << all << all;
        QTest::newRow("not a number") << px << QLineF(kNaN, 0, 4, 10) << none << none;
        QTest::newRow("far away") << px << QLineF(1e30, 0, 2e30, 10) << none << none;
    }
    void boxCoversPixelsWhoseCentresItHolds() {
        QFETCH(ScaleModeKind, mode);
        QFETCH(QLineF, corners);
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        PictureBox box;
        Prepare(box, 10, 10);
        box.ScaleMode(mode);
        box.Line(static_cast<float>(corners.x1()), static_cast<float>(corners.y1()),
                 static_cast<float>(corners.x2()), static_cast<float>(corners.y2()), kBlack);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                const bool covered = columns[x] == '#' && rows[y] == '#';
                QVERIFY2((PixelAt(box, x, y) == kBlackColour) == covered, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        }
    }

    void drawingSurvivesWidthChanges() {
        PictureBox box;
        Prepare(box, 10, 10);
        box.Line(2, 2, 4, 4, kBlack);
        box.Width(20 * kTwipsPerPixel);
        QCOMPARE(PixelAt(box, 3, 3), kBlackColour);
        QCOMPARE(PixelAt(box, 15, 3), kPanelColour);
        // What a narrower box cut off is gone when it widens again.
        box.Width(3 * kTwipsPerPixel);
        box.Width(10 * kTwipsPerPixel);
        QCOMPARE(PixelAt(box, 2, 2), kBlackColour);
        QCOMPARE(PixelAt(box, 3, 3), kPanelColour);
    }

    // Narrowing a little keeps the pixels where they are, so what lies past
    // the edge must not come back.
    void widenedBoxShowsOnlyWhatItKept_data() {
        QTest::addColumn<bool>("printedPastEdge");
        QTest::newRow("bar cut off") << false;
        QTest::newRow("caption printed past the edge") << true;
    }
    void widenedBoxShowsOnlyWhatItKept() {
        QFETCH(bool, printedPastEdge);
        constexpr int kNarrowed = 8;
        PictureBox box;
        Prepare(box, 10, 10);
        box.Line(4, 0, 10, 10, kBlack);
        box.Width(kNarrowed * kTwipsPerPixel);
        if (printedPastEdge) {
            box.CurrentX(5);
            box.Print(U"WW");
        }
        box.Width(10 * kTwipsPerPixel);
        const QImage image = box.Image().Image();
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                const QColor expected = x >= 4 && x < kNarrowed ? kBlackColour : kPanelColour;
                QVERIFY2(image.pixelColor(x, y) == expected, qPrintable(QString("%1,%2").arg(x).arg(y)));
            }
        }
    }

    void earlierImageKeepsItsPixels_data() {
        QTest::addColumn<Change>("change");
        QTest::newRow("box drawn") << Change([](PictureBox& box) { box.Line(0, 0, 10, 10, kWhite); });
        QTest::newRow("cleared") << Change([](PictureBox& box) { box.Cls(); });
        QTest::newRow("text printed") << Change([](PictureBox& box) { box.Print(U"W"); });
        QTest::newRow("narrowed, widened and drawn") << Change([](PictureBox& box) {
            box.Width(8 * kTwipsPerPixel);
            box.Width(10 * kTwipsPerPixel);
            box.Line(0, 0, 10, 10, kWhite);
        });
    }
    void earlierImageKeepsItsPixels() {
        QFETCH(Change, change);
        PictureBox box;
        Prepare(box, 10, 10);
        box.Line(2, 2, 6, 6, kBlack);
        const StdPicture earlier = box.Image();
        const QImage pixels = earlier.Image().copy();
        change(box);
        QCOMPARE(earlier.Image(), pixels);
    }

    void clsLaysBackColourAndPicture() {
        PictureBox box;
        Prepare(box, 10, 10);
        QImage red(4, 4, QImage::Format_RGB32);
        red.fill(Qt::red);
        const StdPicture picture(red);
        box.Picture(&picture);
        box.Line(0, 0, 10, 10, kBlack);
        box.CurrentX(5);
        box.Cls();
        QCOMPARE(PixelAt(box, 3, 3), QColor(Qt::red));
        QCOMPARE(PixelAt(box, 4, 4), kPanelColour);
        QCOMPARE(box.CurrentX(), 0.f);
        box.Picture(nullptr);
        QCOMPARE(PixelAt(box, 0, 0), kPanelColour);
    }

    void printDrawsAtPenAndMovesToNextLine() {
        PictureBox box;
        Prepare(box, 60, 40);
        const QRectF line(20, 10, box.TextWidth(U"X"), box.TextHeight(U"X"));
        box.CurrentX(20);
        box.CurrentY(10);
        box.Print(U"X");
        QCOMPARE(box.CurrentX(), 0.f);
        QCOMPARE(box.CurrentY(), static_cast<float>(line.bottom()));
        const QImage image = box.Image().Image();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == kPanelColour) continue;
                QVERIFY(line.contains(x + 0.5, y + 0.5));
                ++inked;
            }
        }
        QVERIFY(inked > 0);
    }

    void printFarOffDrawsNothing_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::newRow("not a number") << kNaN << 0.f;
        QTest::newRow("huge") << 0.f << 1e30f;
        QTest::newRow("infinite") << -kInfinity << 0.f;
    }
    void printFarOffDrawsNothing() {
        QFETCH(float, x);
        QFETCH(float, y);
        PictureBox box;
        Prepare(box, 10, 10);
        const QImage before = box.Image().Image();
        box.CurrentX(x);
        box.CurrentY(y);
        box.Print(U"X");
        QCOMPARE(box.Image().Image(), before);
        QCOMPARE(box.CurrentX(), 0.f);
    }

    void mouseDownGivesMasksInScale_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<ScaleModeKind>("mode");
        QTest::addColumn<QVariantList>("arguments");
        QTest::newRow("left, pixels") << Qt::LeftButton << Qt::KeyboardModifiers() << ScaleModeKind::Pixels
                                      << QVariantList{short{1}, short{0}, 3.f, 4.f};
        QTest::newRow("right with shift and ctrl, twips")
            << Qt::RightButton << (Qt::ShiftModifier | Qt::ControlModifier) << ScaleModeKind::Twips
            << QVariantList{short{2}, short{3}, 45.f, 60.f};
        QTest::newRow("middle with alt") << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::AltModifier)
                                         << ScaleModeKind::Pixels << QVariantList{short{4}, short{4}, 3.f, 4.f};
    }
    void mouseDownGivesMasksInScale() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(ScaleModeKind, mode);
        QFETCH(QVariantList, arguments);
        PictureBox box;
        Prepare(box, 10, 10);
        box.ScaleMode(mode);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QSignalSpy spy(&box, &PictureBox::MouseDown);
        QTest::mousePress(&box, button, modifiers, QPoint(3, 4));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first(), arguments);
    }

    void failingMouseDownHandlerStaysInside() {
        PictureBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        connect(&box, &PictureBox::MouseDown, [] { throw RuntimeError(ErrorNumber::Overflow); });
        QTest::ignoreMessage(QtWarningMsg, "MouseDown: Run-time error 6: Overflow");
        QTest::mousePress(&box, Qt::RightButton, {}, QPoint(3, 4));
    }
};

QTEST_MAIN(PictureBoxTest)
#include "tst_picturebox.moc"
