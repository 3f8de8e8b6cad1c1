#include <QtTest>

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "engine/DrawBar.h"
#include "platform/core/Units.h"
#include "platform/qt/FileError_p.h"
#include "platform/qt/PictureFiles.h"
#include "platform/qt/PictureSurface.h"
#include "platform/qt/PngEncoder_p.h"
#include "platform/qt/QtText.h"
#include "tests/support/PixelRows.h"

using namespace tallyline;

namespace {

// A barcode drawn as the window draws it, kept both ways.
struct Drawn : PictureSurface {
    explicit Drawn(const QString& text, Colour background = kWindowBackground)
        : PictureSurface(Keeping::PixelsAndShapes) {
        Width(615);
        Height(1335);
        BackColor(background);
        DrawBarcode(ToText(text), *this);
    }
};

QImage Painted(const VectorCanvas& shapes, int scale) {
    QImage image(shapes.Extent() * scale, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(scale, scale);
    shapes.Paint(painter);
    return image;
}

QImage Enlarged(const QImage& image, int scale) {
    return image.scaled(image.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage Bars(const QImage& image) { return image.copy(0, 0, image.width(), image.height() * 2 / 3); }

}  // namespace

class PictureFilesTest : public QObject {
    Q_OBJECT
private slots:
    // The file holds exactly the pixels, each a square of scale pixels, at
    // the density that keeps the picture's size on paper; colours too.
    void pngHoldsThePixels_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Colour>("background");
        QTest::addColumn<int>("scale");
        QTest::newRow("greys, as drawn") << "TALLY-2026" << kWindowBackground << 1;
        QTest::newRow("greys, enlarged") << "A1" << kWindowBackground << 3;
        QTest::newRow("a colour") << "A1" << RGB(212, 208, 200) << 1;
        QTest::newRow("a colour, enlarged") << "A1" << RGB(212, 208, 200) << 2;
    }
    void pngHoldsThePixels() {
        QFETCH(QString, text);
        QFETCH(Colour, background);
        QFETCH(int, scale);
        const QImage drawn = Drawn(text, background).Image().Image();
        const QImage read = QImage::fromData(EncodePng(drawn, scale), "png");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), Enlarged(drawn, scale).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(read.dotsPerMeterX(), kDesignDotsPerMeter * scale);
    }

    // Shapes cover exactly the pixels the raster covers, at any whole scale.
    void shapesCoverThePixels_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("scale");
        QTest::newRow("worked example") << "A1" << 1;
        QTest::newRow("every character") << "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%" << 1;
        QTest::newRow("without patterns, enlarged") << "A#B@C*" << 3;
    }
    void shapesCoverThePixels() {
        QFETCH(QString, text);
        QFETCH(int, scale);
        const Drawn drawn(text, RGB(212, 208, 200));
        const QImage pixels = Enlarged(drawn.Image().Image(), scale);
        const QImage shapes = Painted(drawn.Shapes(), scale);
        QCOMPARE(shapes.size(), pixels.size());
        QCOMPARE(Bars(shapes), Bars(pixels));
    }

    // A box cut off by a narrower picture stays cut when the picture grows again.
    void shrinkingLosesWhatFallsOutside() {
        PictureSurface surface(PictureSurface::Keeping::PixelsAndShapes);
        surface.ScaleMode(ScaleModeKind::Pixels);
        surface.Width(20 * kTwipsPerPixel);
        surface.Height(4 * kTwipsPerPixel);
        surface.Line(0, 0, 20, 4, kBlack);
        surface.Width(10 * kTwipsPerPixel);
        surface.Width(20 * kTwipsPerPixel);
        QCOMPARE(Painted(surface.Shapes(), 1), surface.Image().Image());
    }

    // SVG: the picture's pixels are its units, its size on paper follows the
    // module asked for, and its edges stay crisp.
    void svgKeepsUnitsAndSize() {
        const Drawn drawn(QStringLiteral("A1"));
        const QString svg = QString::fromUtf8(SvgFile(drawn.Shapes(), 0.25));
        QVERIFY(svg.contains(QStringLiteral("shape-rendering=\"crispEdges\"")));
        QVERIFY2(svg.contains(QStringLiteral("viewBox=\"0 0 108 89\"")), qPrintable(svg.left(400)));
        QVERIFY(svg.contains(QStringLiteral("width=\"27mm\"")));
        const QRegularExpression rect(QStringLiteral("<rect x=\"([^\"]+)\" y=\"0\" width=\"([^\"]+)\""));
        int rects = 0;
        for (auto match = rect.globalMatch(svg); match.hasNext(); ++rects) {
            const auto found = match.next();
            QCOMPARE(found.captured(1).toInt() % 2, 0);
            QCOMPARE(found.captured(2).toInt() % 2, 0);
        }
        // The background, then the 20 bars; the gaps are the background's.
        QCOMPARE(rects, 21);
    }

    void pdfIsOnePageOfThePictureSize() {
        const Drawn drawn(QStringLiteral("A1"));
        const QByteArray pdf = PdfFile(drawn.Shapes(), 0.5);
        QVERIFY(pdf.startsWith("%PDF-"));
        // 108 x 89 pixels at half a millimetre: 153.07 x 126.14 points.
        QVERIFY2(pdf.contains("/MediaBox [0 0 153.07") || pdf.contains("/MediaBox [0 0 153.0"), pdf.left(2000).constData());
    }

    void suffixNamesTheFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");  // -1: none
        QTest::newRow("png") << "a.png" << int(PictureFormat::Png);
        QTest::newRow("upper case") << "A.SVG" << int(PictureFormat::Svg);
        QTest::newRow("pdf in a folder") << "x.y/a.pdf" << int(PictureFormat::Pdf);
        QTest::newRow("jpeg") << "a.jpg" << -1;
        QTest::newRow("no suffix") << "png" << -1;
        QTest::newRow("dot only") << "a." << -1;
    }
    void suffixNamesTheFormat() {
        QFETCH(QString, name);
        QFETCH(int, format);
        const auto found = FormatOfName(name);
        QCOMPARE(found ? int(*found) : -1, format);
    }

    // A file that cannot be written whole leaves no part of itself and the
    // old file, if any, as it was.
    void failedWritesLeaveNothingHalfDone_data() {
        QTest::addColumn<int>("writing");
        QTest::newRow("safely") << int(Writing::Safely);
        QTest::newRow("quickly") << int(Writing::Quickly);
    }
    void failedWritesLeaveNothingHalfDone() {
        QFETCH(int, writing);
        const QTemporaryDir folder;
        const QString old = folder.filePath(QStringLiteral("old.png"));
        WriteWholeFile(old, "old", Writing::Safely);
        QDir(folder.path()).mkdir(QStringLiteral("a folder.png"));
        for (const QString& path : {folder.filePath(QStringLiteral("a folder.png")),
                                    folder.filePath(QStringLiteral("missing/a.png"))}) {
            QVERIFY_THROWS_EXCEPTION(FileError, WriteWholeFile(path, "new", Writing(writing)));
        }
        QVERIFY(QFile::link(old, folder.filePath(QStringLiteral("link.png"))));
        QVERIFY_THROWS_EXCEPTION(FileError, WriteWholeFile(folder.filePath(QStringLiteral("link.png")), "new", Writing(writing)));
        WriteWholeFile(old, "replaced", Writing(writing));
        QFile file(old);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("replaced"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 (QStringList{"link.png", "old.png"}));
    }
};

QTEST_MAIN(PictureFilesTest)
#include "tst_picturefiles.moc"
