#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "engine/DrawBar.h"
#include "platform/core/Failures.h"
#include "platform/files/PngEncoder.h"
#include "platform/files/WholeFile.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtColour.h"

using namespace tallyline;

namespace {

// A background that is neither a grey nor a colour bars are drawn in.
constexpr Colour kPanel = RGB(212, 208, 200);

// A barcode drawn as the window draws it, kept both ways.
struct Drawn : PictureSurface {
    explicit Drawn(const Text& text, Colour background) : PictureSurface(Keeping::PixelsAndShapes) {
        Width(615);
        Height(1335);
        BackColor(background);
        DrawBarcode(text, *this);
    }
};

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

}  // namespace

class FilesTest : public QObject {
    Q_OBJECT
private slots:
    // The PNG file holds exactly the pixels, each a square of scale pixels, colours too, with margins of the
    // background around them, and says so in pHYs: 96 per inch / 0.0254 = 3779.5 dots a metre, written 3780, times
    // the scale. A coloured margin beside a picture of greys makes a file of colours.
    void pngHoldsThePixels_data() {
        QTest::addColumn<Colour>("background");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<Colour>("marginColour");
        QTest::addColumn<int>("dotsPerMetre");
        QTest::newRow("01 greys, as drawn") << kWindowBackground << 1 << QMargins() << kWindowBackground << 3780;
        QTest::newRow("02 greys, margins on every side, enlarged")
            << kWindowBackground << 2 << QMargins(18, 1, 16, 3) << kWindowBackground << 7560;
        QTest::newRow("03 a colour beside greys") << kWindowBackground << 1 << QMargins(5, 0, 7, 0) << kPanel << 3780;
        QTest::newRow("04 colours within grey margins, enlarged")
            << kPanel << 3 << QMargins(5, 2, 7, 1) << kWindowBackground << 11340;
    }
    void pngHoldsThePixels() {
        QFETCH(Colour, background);
        QFETCH(int, scale);
        QFETCH(QMargins, margins);
        QFETCH(Colour, marginColour);
        const QImage pixels = Drawn(U"TALLY-2026", background).Image().Image();
        QImage padded(pixels.size().grownBy(margins), QImage::Format_RGB32);
        padded.fill(ToQColor(marginColour));
        QPainter(&padded).drawImage(margins.left(), margins.top(), pixels);
        const QImage read = QImage::fromData(EncodePng(pixels, scale, margins, ToQColor(marginColour).rgb()), "png");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), padded.scaled(padded.size() * scale));
        QTEST(read.dotsPerMeterX(), "dotsPerMetre");
        QTEST(read.dotsPerMeterY(), "dotsPerMetre");
    }

    // Rows of one grey from 1 to 600 pixels wide, one pixel of the second row white: runs of every length up to the
    // longest that a PNG's compression copies at once, twice over.
    void pngKeepsRunsOfEveryLength() {
        for (int width = 1; width <= 600; ++width) {
            QImage pixels(width, 2, QImage::Format_RGB32);
            pixels.fill(qRgb(64, 64, 64));
            pixels.setPixel(0, 1, qRgb(255, 255, 255));
            const QImage read = QImage::fromData(EncodePng(pixels, 1, QMargins(), qRgb(255, 255, 255)), "png");
            QVERIFY2(read.convertToFormat(QImage::Format_RGB32) == pixels, qPrintable(QString::number(width)));
        }
    }

    // Over a file that is there: written safely it is replaced; written quickly (a batch) the same contents are left
    // alone. A replaced file keeps its permissions; a file that cannot be written whole leaves the old one as it was;
    // nothing else is left in the folder.
    void writingOverAFile_data() {
        QTest::addColumn<Writing>("writing");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("written");
        QTest::newRow("01 safely, the same") << Writing::Safely << QByteArray("old") << int(Written::Replaced);
        QTest::newRow("02 safely, new contents") << Writing::Safely << QByteArray("new") << int(Written::Replaced);
        QTest::newRow("03 quickly, the same") << Writing::Quickly << QByteArray("old") << int(Written::AlreadyThere);
        QTest::newRow("04 quickly, longer") << Writing::Quickly << QByteArray("old!") << int(Written::Replaced);
        QTest::newRow("05 quickly, shorter") << Writing::Quickly << QByteArray("ol") << int(Written::Replaced);
    }
    void writingOverAFile() {
        QFETCH(Writing, writing);
        QFETCH(QByteArray, contents);
        QFETCH(int, written);
        const QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("a.png"));
        QCOMPARE(WriteWholeFile(path, "old", writing), Written::New);
        const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, readOnly));
        QDir(folder.path()).mkdir(QStringLiteral("a folder.png"));
        QVERIFY(QFile::link(path, folder.filePath(QStringLiteral("link.png"))));
        for (const char* name : {"a folder.png", "missing/a.png", "link.png"})
            QVERIFY_THROWS_EXCEPTION(FileError, WriteWholeFile(folder.filePath(name), "new", writing));
        QCOMPARE(Contents(path), QByteArray("old"));
        QCOMPARE(int(WriteWholeFile(path, contents, writing)), written);
        QCOMPARE(Contents(path), contents);
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                 readOnly);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 (QStringList{"a.png", "link.png"}));
    }
};

QTEST_MAIN(FilesTest)
#include "tst_files.moc"
