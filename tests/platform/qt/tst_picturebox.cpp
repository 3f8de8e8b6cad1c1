#include <QtTest>

#include <limits>
#include <stdexcept>

#include "ErrorCapture.h"
#include "PictureBox.h"

using namespace tallyline;

Q_DECLARE_METATYPE(tallyline::ScaleModeKind)

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr Colour kPanel = RGB(212, 208, 200);
const QColor kPanelColour(212, 208, 200);

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
    void widthRoundsToWholePixels_data();
    void widthRoundsToWholePixels();
    void unrepresentableWidthChangesNothing_data();
    void unrepresentableWidthChangesNothing();
    void scaleModeChangesUnitsNotPlaces();
    void boxCoversPixelsWhoseCentresItHolds_data();
    void boxCoversPixelsWhoseCentresItHolds();
    void drawingSurvivesWidthChanges();
    void clsLaysBackColourAndPicture();
    void printDrawsAtPenAndMovesToNextLine();
    void mouseDownGivesMasksInScale_data();
    void mouseDownGivesMasksInScale();
    void failingMouseDownHandlerStaysInside();
};

void PictureBoxTest::widthRoundsToWholePixels_data() {
    QTest::addColumn<float>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("design width") << 615.f << 41;
    QTest::newRow("below half") << 7.f << 0;
    QTest::newRow("above half") << 8.f << 1;
    QTest::newRow("tie goes down to even") << 37.5f << 2;
    QTest::newRow("tie goes up to even") << 52.5f << 4;
    QTest::newRow("largest") << 491505.f << 32767;
}

void PictureBoxTest::widthRoundsToWholePixels() {
    QFETCH(float, twips);
    QFETCH(int, pixels);
    PictureBox box;
    box.Width(twips);
    QCOMPARE(box.width(), pixels);
    QCOMPARE(box.Width(), static_cast<float>(pixels * kTwipsPerPixel));
    QCOMPARE(box.Image().PixelWidth(), pixels);
}

void PictureBoxTest::unrepresentableWidthChangesNothing_data() {
    QTest::addColumn<float>("twips");
    QTest::newRow("negative") << -1.f;
    QTest::newRow("negative, rounding to zero") << -7.f;
    QTest::newRow("not a number") << kNaN;
    QTest::newRow("infinite") << kInfinity;
    QTest::newRow("tie rounding past the largest") << 491512.5f;
}

void PictureBoxTest::unrepresentableWidthChangesNothing() {
    QFETCH(float, twips);
    PictureBox box;
    Prepare(box, 10, 10);
    box.Line(0, 0, 10, 10, kBlack);
    QCOMPARE(ErrorOf([&] { box.Width(twips); }), ErrorNumber::InvalidPropertyValue);
    QCOMPARE(box.Width(), 150.f);
    QCOMPARE(PixelAt(box, 9, 9), QColor(Qt::black));
}

void PictureBoxTest::scaleModeChangesUnitsNotPlaces() {
    PictureBox box;
    box.Move(120, 720, 615, 1335);
    QCOMPARE(box.ScaleWidth(), 615.f);
    QCOMPARE(box.ScaleHeight(), 1335.f);
    box.CurrentX(150);
    box.CurrentY(300);
    box.ScaleMode(ScaleModeKind::Pixels);
    QCOMPARE(box.ScaleWidth(), 41.f);
    QCOMPARE(box.ScaleHeight(), 89.f);
    QCOMPARE(box.CurrentX(), 10.f);
    QCOMPARE(box.CurrentY(), 20.f);
    QCOMPARE(box.Width(), 615.f);
    QCOMPARE(box.ScaleLeft(), 0.f);
    QCOMPARE(box.ScaleTop(), 0.f);
    QCOMPARE(ErrorOf([&] { box.ScaleMode(static_cast<ScaleModeKind>(2)); }), ErrorNumber::InvalidPropertyValue);
}

void PictureBoxTest::boxCoversPixelsWhoseCentresItHolds_data() {
    QTest::addColumn<ScaleModeKind>("mode");
    QTest::addColumn<QLineF>("corners");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("rows");
    const auto pixels = ScaleModeKind::Pixels;
    const QString all = "##########";
    const QString none = "..........";
    QTest::newRow("2 to 4") << pixels << QLineF(QPointF(2, 0), QPointF(4, 10)) << "..##......" << all;
    QTest::newRow("corners swapped") << pixels << QLineF(QPointF(4, 10), QPointF(2, 0)) << "..##......" << all;
    QTest::newRow("centres inside") << pixels << QLineF(QPointF(2.4, 0.4), QPointF(4.6, 2.6)) << "..###....."
                                    << "###.......";
    QTest::newRow("centres outside") << pixels << QLineF(QPointF(2.6, 0), QPointF(4.4, 10)) << "...#......" << all;
    QTest::newRow("no width") << pixels << QLineF(QPointF(3, 0), QPointF(3, 10)) << none << none;
    QTest::newRow("twips") << ScaleModeKind::Twips << QLineF(QPointF(30, 0), QPointF(60, 150)) << "..##......" << all;
    QTest::newRow("clipped") << pixels << QLineF(QPointF(-5, -5), QPointF(1, 1)) << "#........." << "#.........";
    QTest::newRow("far right") << pixels << QLineF(QPointF(8, 0), QPointF(1e30, 1e30)) << "........##" << all;
    QTest::newRow("infinite") << pixels << QLineF(QPointF(-kInfinity, -kInfinity), QPointF(kInfinity, kInfinity))
                              << all << all;
    QTest::newRow("not a number") << pixels << QLineF(QPointF(kNaN, 0), QPointF(4, 10)) << none << none;
    QTest::newRow("far away") << pixels << QLineF(QPointF(1e30, 0), QPointF(2e30, 10)) << none << none;
}

void PictureBoxTest::boxCoversPixelsWhoseCentresItHolds() {
    QFETCH(ScaleModeKind, mode);
    QFETCH(QLineF, corners);
    QFETCH(QString, columns);
    QFETCH(QString, rows);
    PictureBox box;
    Prepare(box, 10, 10);
    box.ScaleMode(mode);
    box.Line(static_cast<float>(corners.x1()), static_cast<float>(corners.y1()),
             static_cast<float>(corners.x2()), static_cast<float>(corners.y2()), kBlack);
    const QImage image = box.Image().Image();
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool covered = columns[x] == '#' && rows[y] == '#';
            QVERIFY2((image.pixelColor(x, y) == Qt::black) == covered, qPrintable(QStringLiteral("%1, %2").arg(x).arg(y)));
        }
    }
}

void PictureBoxTest::drawingSurvivesWidthChanges() {
    PictureBox box;
    Prepare(box, 10, 10);
    box.Line(2, 2, 4, 4, kBlack);
    box.Width(20 * kTwipsPerPixel);
    QCOMPARE(box.Image().Image().size(), QSize(20, 10));
    QCOMPARE(PixelAt(box, 3, 3), QColor(Qt::black));
    QCOMPARE(PixelAt(box, 15, 3), kPanelColour);
    // What a narrower box cut off is gone when it widens again.
    box.Width(3 * kTwipsPerPixel);
    box.Width(10 * kTwipsPerPixel);
    QCOMPARE(PixelAt(box, 2, 2), QColor(Qt::black));
    QCOMPARE(PixelAt(box, 3, 3), kPanelColour);
}

void PictureBoxTest::clsLaysBackColourAndPicture() {
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
    QVERIFY(box.Picture().IsEmpty());
    QCOMPARE(PixelAt(box, 0, 0), kPanelColour);
}

void PictureBoxTest::printDrawsAtPenAndMovesToNextLine() {
    PictureBox box;
    Prepare(box, 60, 40);
    box.ForeColor(RGB(0, 0, 255));
    const float width = box.TextWidth(U"X");
    const float height = box.TextHeight(U"X");
    box.CurrentX(20);
    box.CurrentY(10);
    box.Print(U"X");
    QCOMPARE(box.CurrentX(), 0.f);
    QCOMPARE(box.CurrentY(), 10 + height);
    const QRectF line(20, 10, width, height);
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
    box.ScaleMode(ScaleModeKind::Twips);
    QCOMPARE(box.TextWidth(U"X"), width * kTwipsPerPixel);
}

void PictureBoxTest::mouseDownGivesMasksInScale_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<ScaleModeKind>("mode");
    QTest::addColumn<QList<QVariant>>("arguments");
    QTest::newRow("left, pixels") << Qt::LeftButton << Qt::KeyboardModifiers() << ScaleModeKind::Pixels
                                  << QVariantList{short{1}, short{0}, 3.f, 4.f};
    QTest::newRow("right with shift and ctrl, twips")
        << Qt::RightButton << (Qt::ShiftModifier | Qt::ControlModifier) << ScaleModeKind::Twips
        << QVariantList{short{2}, short{3}, 45.f, 60.f};
    QTest::newRow("middle with alt") << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::AltModifier)
                                     << ScaleModeKind::Pixels << QVariantList{short{4}, short{4}, 3.f, 4.f};
}

void PictureBoxTest::mouseDownGivesMasksInScale() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(ScaleModeKind, mode);
    QFETCH(QList<QVariant>, arguments);
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

void PictureBoxTest::failingMouseDownHandlerStaysInside() {
    PictureBox box;
    Prepare(box, 10, 10);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    connect(&box, &PictureBox::MouseDown, [] { throw RuntimeError(ErrorNumber::Overflow); });
    QTest::ignoreMessage(QtWarningMsg, "MouseDown: Overflow");
    QTest::mousePress(&box, Qt::RightButton, {}, QPoint(3, 4));
}

QTEST_MAIN(PictureBoxTest)
#include "tst_picturebox.moc"
