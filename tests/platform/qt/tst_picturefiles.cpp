#include <QtTest>

#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "engine/DrawBar.h"
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
    // The PNG file holds exactly the pixels, each a square of scale pixels, colours too; the
    // shapes cover exactly the pixels the raster covers. PNG's pHYs gives dots per metre:
    // 96 per inch / 0.0254 = 3779.5, written 3780, times the scale.
    void filesHoldThePixels_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Colour>("background");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("dotsPerMetre");
        QTest::newRow("01 greys, as drawn") << "TALLY-2026" << kWindowBackground << 1 << 3780;
        QTest::newRow("02 greys, enlarged") << "A1" << kWindowBackground << 3 << 11340;
        QTest::newRow("03 a colour") << "A1" << kPanel << 1 << 3780;
        QTest::newRow("04 a colour, enlarged") << "A1" << kPanel << 2 << 7560;
        QTest::newRow("05 every character") << "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%" << kPanel << 1 << 3780;
        QTest::newRow("06 without patterns, enlarged") << "A#B@C*" << kPanel << 3 << 11340;
    }
    void filesHoldThePixels() {
        QFETCH(QString, text);
        QFETCH(Colour, background);
        QFETCH(int, scale);
        const Drawn drawn(text, background);
        const QImage pixels = Enlarged(drawn.Image().Image(), scale).convertToFormat(QImage::Format_RGB32);
        const QImage read = QImage::fromData(EncodePng(drawn.Image().Image(), scale), "png");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), pixels);
        QTEST(read.dotsPerMeterX(), "dotsPerMetre");
        QTEST(read.dotsPerMeterY(), "dotsPerMetre");
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

    // The worked example is 108 x 89 pixels. SVG: pixels are its user units, its width on paper
    // 108 x 0.25 mm = 27 mm, edges crisp. PDF: a page of 108 x 0.5 mm = 54 mm = 54 / 25.4 x 72
    // = 153.07 points by 89 x 0.5 / 25.4 x 72 = 126.14, which Qt writes in whole points.
    void vectorFilesKeepSizeOnPaper() {
        const Drawn drawn(QStringLiteral("A1"));
        const QString svg = QString::fromUtf8(SvgFile(drawn.Shapes(), 0.25));
        for (const char* part : {"shape-rendering=\"crispEdges\"", "viewBox=\"0 0 108 89\"", "width=\"27mm\""})
            QVERIFY2(svg.contains(QLatin1String(part)), part);
        // The background, then the 20 bars, at even pixels as drawn two a module; the gaps are the background's.
        const QRegularExpression rect(QStringLiteral("<rect x=\"(\\d*[02468])\" y=\"0\" width=\"(\\d*[02468])\""));
        QCOMPARE(svg.count(QRegularExpression("<rect ")), svg.count(rect));
        QCOMPARE(svg.count(rect), 21);
        const QByteArray pdf = PdfFile(drawn.Shapes(), 0.5);
        QVERIFY(pdf.startsWith("%PDF-"));
        const QRegularExpression page(QStringLiteral("/MediaBox \\[0 0 153(\\.0*)? 126(\\.0*)?\\]"));
        QVERIFY2(page.match(QString::fromLatin1(pdf)).hasMatch(), pdf.left(2000).constData());
    }

    void suffixNamesTheFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");  // -1: none
        QTest::newRow("01 png") << "a.png" << int(PictureFormat::Png);
        QTest::newRow("02 upper case") << "A.SVG" << int(PictureFormat::Svg);
        QTest::newRow("03 pdf in a folder") << "x.y/a.pdf" << int(PictureFormat::Pdf);
        QTest::newRow("04 jpeg") << "a.jpg" << -1;
        QTest::newRow("05 no suffix") << "png" << -1;
        QTest::newRow("06 dot only") << "a." << -1;
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
        QTest::newRow("01 safely") << int(Writing::Safely);
        QTest::newRow("02 quickly") << int(Writing::Quickly);
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
