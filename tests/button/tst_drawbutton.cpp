// The nine pieces of a face: their order and rectangles, and what they make
// on a real surface at the cell's own size and stretched.
#include <QtTest>

#include "ButtonProbe.h"

using namespace tallyline;

namespace {

struct Paint {
    qint64 picture;
    QList<float> rectangles;  // X1, Y1, Width1, Height1, X2, Y2, Width2, Height2
};

class RecordingSurface : public ControlSurface {
public:
    RecordingSurface(float width, float height) : width_(width), height_(height) {}

    void ScaleMode(ScaleModeKind mode) override { scaleModes.append(mode); }
    float ScaleLeft() const override { return 0; }
    float ScaleTop() const override { return 0; }
    float ScaleWidth() const override { return width_; }
    float ScaleHeight() const override { return height_; }
    bool Enabled() const override { return true; }
    void PaintPicture(const StdPicture& picture, float X1, float Y1, float Width1, float Height1, float X2, float Y2,
                      float Width2, float Height2) override {
        QCOMPARE(scaleModes, QList<ScaleModeKind>{ScaleModeKind::Pixels});
        paints.append({picture.Image().cacheKey(), {X1, Y1, Width1, Height1, X2, Y2, Width2, Height2}});
    }

    QList<ScaleModeKind> scaleModes;
    QList<Paint> paints;

private:
    float width_;
    float height_;
};

QList<QList<float>> NinePieces(float W, float H) {
    return {
        {0, 0, 3, 3, 0, 0, 3, 3},
        {W - 3, 0, 3, 3, 15, 0, 3, 3},
        {W - 3, H - 3, 3, 3, 15, 18, 3, 3},
        {0, H - 3, 3, 3, 0, 18, 3, 3},
        {3, 0, W - 6, 3, 3, 0, 12, 3},
        {W - 3, 3, 3, H - 6, 15, 3, 3, 15},
        {0, 3, 3, H - 6, 0, 3, 3, 15},
        {3, H - 3, W - 6, 3, 3, 18, 12, 3},
        {3, 3, W - 6, H - 6, 3, 3, 12, 15},
    };
}

QImage Cell(ButtonFace face) { return SkinClip().GraphicCell(face).Image(); }

const QList<ButtonFace> kFaces = {FaceNormal, FacePressed, FaceDisabled, FaceHover, FaceHighlighted};

}  // namespace

class TestDrawButton : public QObject {
    Q_OBJECT

private slots:
    void ninePaintsInOrder_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::newRow("97 x 33") << 97.0f << 33.0f;
        QTest::newRow("cell size") << 18.0f << 21.0f;
        // Edges of no or negative extent, corners overlapping: still nine paints.
        QTest::newRow("4 x 5") << 4.0f << 5.0f;
    }

    void ninePaintsInOrder() {
        QFETCH(float, width);
        QFETCH(float, height);
        const PictureClip pc = SkinClip();
        for (const ButtonFace face : kFaces) {
            RecordingSurface surface(width, height);
            DrawButton(face, surface, pc);
            QCOMPARE(surface.paints.size(), 9);
            for (int i = 0; i < 9; ++i) {
                QCOMPARE(surface.paints[i].rectangles, NinePieces(width, height)[i]);
                QCOMPARE(surface.paints[i].picture, pc.GraphicCell(face).Image().cacheKey());
            }
        }
    }

    void cellSizedSurfaceShowsTheCellPixelForPixel() {
        for (const ButtonFace face : kFaces) QCOMPARE(FaceImage(face, QSize(18, 21)), Cell(face));
    }

    // Every shown row is a row of the cell with its middle stretched: the
    // top and bottom three rows are the cell's own, the others some row of
    // its middle. So the border stays one and the frame two pixels wide.
    void stripsKeepTheirWidth_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("97 x 33") << QSize(97, 33);
        QTest::newRow("300 x 80") << QSize(300, 80);
    }

    void stripsKeepTheirWidth() {
        QFETCH(QSize, size);
        const int W = size.width();
        const int H = size.height();
        for (const ButtonFace face : kFaces) {
            const QImage shown = FaceImage(face, size);
            const QImage cell = Cell(face);
            const auto rowIs = [&](int y, int source) {
                for (int x = 0; x < W; ++x) {
                    const int sourceX = x < 3 ? x : x >= W - 3 ? x - W + 18 : 3;
                    if (shown.pixel(x, y) != cell.pixel(sourceX, source)) return false;
                }
                return true;
            };
            for (int y = 0; y < H; ++y) {
                bool found = y < 3 ? rowIs(y, y) : y >= H - 3 ? rowIs(y, y - H + 21) : false;
                for (int source = 3; source < 18 && !found && y >= 3 && y < H - 3; ++source) found = rowIs(y, source);
                QVERIFY2(found, qPrintable(QStringLiteral("face %1, row %2").arg(face).arg(y)));
            }
        }
    }
};

QTEST_MAIN(TestDrawButton)
#include "tst_drawbutton.moc"
