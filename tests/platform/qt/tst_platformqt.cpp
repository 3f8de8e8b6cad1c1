#include <QMessageBox>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>

#include "button/host/DesignData.h"
#include "engine/DrawBar.h"
#include "platform/core/Failures.h"
#include "platform/core/RuntimeError.h"
#include "platform/files/PictureFormats.h"
#include "platform/files/PngEncoder.h"
#include "platform/files/VectorFiles.h"
#include "platform/files/WholeFile.h"
#include "platform/picture/DesignFont.h"
#include "platform/picture/PictureSurface.h"
#include "platform/picture/QtColour.h"
#include "platform/picture/QtText.h"
#include "platform/widgets/ErrorReporter.h"
#include "platform/widgets/PictureBox.h"
#include "platform/widgets/TextBox.h"

using namespace tallyline;

namespace {

// A background that is neither of the colours bars are drawn in.
constexpr Colour kPanel = RGB(212, 208, 200);

// A row of a picture as text: black '#', white '.', the panel '-', any other colour '?'.
QString PixelRow(const QImage& image, int y) {
    QString row;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = image.pixel(x, y);
        row += pixel == qRgb(0, 0, 0) ? '#' : pixel == qRgb(255, 255, 255) ? '.' : pixel == ToQColor(kPanel).rgb() ? '-' : '?';
    }
    return row;
}

// A box of whole pixels in pixel scale.
struct PixelBox : PictureBox {
    PixelBox(int width, int height) {
        Move(0, 0, width * kTwipsPerPixel, height * kTwipsPerPixel);
        ScaleMode(ScaleModeKind::Pixels);
    }
};

// A barcode drawn as the window draws it, kept both ways.
struct Drawn : PictureSurface {
    explicit Drawn(const QString& text, Colour background) : PictureSurface(Keeping::PixelsAndShapes) {
        Width(615);
        Height(1335);
        BackColor(background);
        DrawBarcode(ToText(text), *this);
    }
};

// The largest difference of one channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

}  // namespace

class PlatformQtTest : public QObject {
    Q_OBJECT
private slots:
    // A surrogate pair is one character; a half on its own names none and becomes U+FFFD,
    // so only texts without one read back the same.
    void textFromUtf16_data() {
        QTest::addColumn<QString>("utf16");
        QTest::addColumn<Text>("text");
        QTest::newRow("01 surrogate pair") << QStringLiteral("\u00E9\U0001F600\u20AC") << Text(U"\u00E9\U0001F600\u20AC");
        QTest::newRow("02 lone high half") << (QString(QChar(0xD83D)) + 'A') << Text(U"\uFFFDA");
        QTest::newRow("03 halves swapped") << (QString(QChar(0xDE00)) + QChar(0xD83D)) << Text(U"\uFFFD\uFFFD");
    }
    void textFromUtf16() {
        QFETCH(QString, utf16);
        QFETCH(Text, text);
        QVERIFY(ToText(utf16) == text);
        QCOMPARE(ToQString(text) == utf16, text.find(U'\uFFFD') == Text::npos);
    }

    void designDataReadsTypedValues() {
        const DesignData data = ReadDesignData("[Button]\n  caption = \"say \\\"hi\\\"\"\nEnabled = TRUE\n"
                                               "font = Font( \"MS Sans Serif\" , 8.25 , 400 )\n");
        const PropertyBag& bag = *data.Find(QStringLiteral("button"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Caption"), 0), PropertyValue(QStringLiteral("say \"hi\"")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("enabled"), false), PropertyValue(true));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Font"), 0),
                 PropertyValue(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, 400)));
    }

    // Anything cut short or garbled is refused with an error that names the line and the key.
    void badDesignDataNamesLineAndKey_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString whole = "Invalid file format: line 2, \"x\": expected a whole number from -2147483648 to 2147483647";
        QTest::newRow("01 truncated text") << QByteArray("[a]\ncaption = \"Copy to")
                                           << "Invalid file format: line 2, \"caption\": text without its closing quote";
        QTest::newRow("02 truncated font") << QByteArray("[a]\nfont = Font(\"MS Sans Serif\", 8.2")
                                           << "Invalid file format: line 2, \"font\": expected ','";
        QTest::newRow("03 no value") << QByteArray("[a]\nx =") << whole;
        QTest::newRow("04 unknown word") << QByteArray("[a]\nenabled = maybe")
                                         << "Invalid file format: line 2, \"enabled\": unknown value \"maybe\"";
        QTest::newRow("05 text after value") << QByteArray("[a]\nx = 5 6")
                                             << "Invalid file format: line 2, \"x\": unexpected text after the value";
        // 2^31 = 2147483648, one past the largest 32-bit integer.
        QTest::newRow("06 integer too large") << QByteArray("[a]\nx = 2147483648") << whole;
        QTest::newRow("07 garbage") << QByteArray("[a]\n\x01\xff\xfe")
                                    << "Invalid file format: line 2: expected a key or an [instance]";
    }
    void badDesignDataNamesLineAndKey() {
        QFETCH(QByteArray, text);
        try {
            ReadDesignData(text);
            QFAIL("no error");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Number(), ErrorNumber::InvalidFileFormat);
            QTEST(QString::fromUtf8(error.what()), "message");
        }
    }

    // A report is a modal box that says what failed and why, centred on the
    // window that reports belong to, else on the active window.
    void reportIsABoxOverItsWindow_data() {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("owned");
        QTest::addColumn<QString>("seen");  // title | text
        const QString copying = " Tallyline | Copying the barcode to the clipboard failed.\n\n";
        const QString reason = "Run-time error 5: Invalid procedure call or argument";
        QTest::newRow("01 over its window") << reason << true << copying + reason;
        QTest::newRow("02 over the active window") << reason << false << copying + reason;
    }
    void reportIsABoxOverItsWindow() {
        QFETCH(QString, reason);
        QFETCH(bool, owned);
        QWidget window, active;
        window.setGeometry(200, 150, 519, 213);
        active.setGeometry(100, 300, 400, 250);
        for (QWidget* shown : {&window, &active}) shown->show();
        active.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&active));
        MessageBoxReporter reporter(" Tallyline");
        if (owned) reporter.Parent(&window);
        QWidget* const over = owned ? &window : &active;
        // The box runs its own event loop, where this timer reads and closes it.
        QString seen;
        QTimer reader;
        connect(&reader, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                const int offCentre = (box->geometry().center() - over->geometry().center()).manhattanLength();
                seen = box->windowTitle() + " | " + box->text() + (box->parentWidget() == over && offCentre <= 2 ? "" : " | elsewhere");
                box->done(0);
            }
        });
        reader.start(10);
        reporter.Report("Copying the barcode to the clipboard", reason);
        QTEST(seen, "seen");
    }

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
        PixelBox box(10, 10);
        try {
            box.Width(twips);
            QVERIFY(pixels >= 0);
        } catch (const RuntimeError& error) {
            QVERIFY(pixels < 0 && error.Number() == ErrorNumber::InvalidPropertyValue);
        }
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
        PixelBox box(10, 10);
        box.BackColor(kPanel);
        box.Line(left, 0.4f, right, 9.6f, kBlack);
        const QImage image = box.Image().Image();
        for (int y = 0; y < image.height(); ++y) QTEST(PixelRow(image, y), "columns");
    }

    // A press reports the platform's masks and its place in the box's scale;
    // a button the platform has no mask for goes on to the window.
    void pressIsReportedInTheScale_data() {
        QTest::addColumn<ScaleModeKind>("scale");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QString>("reported");  // Button Shift X Y
        QTest::newRow("01 left, twips") << ScaleModeKind::Twips << Qt::LeftButton << Qt::KeyboardModifiers()
                                        << QPointF(4, 6) << "1 0 60 90";
        QTest::newRow("02 right with Shift and Ctrl, pixels")
            << ScaleModeKind::Pixels << Qt::RightButton << (Qt::ShiftModifier | Qt::ControlModifier) << QPointF(4, 6)
            << "2 3 4 6";
        QTest::newRow("03 middle with Alt, between pixels, twips")
            << ScaleModeKind::Twips << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::AltModifier)
            << QPointF(2.5, 0) << "4 4 37.5 0";
        QTest::newRow("04 back button") << ScaleModeKind::Twips << Qt::BackButton << Qt::KeyboardModifiers()
                                        << QPointF(4, 6) << "";
    }
    void pressIsReportedInTheScale() {
        QFETCH(ScaleModeKind, scale);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QPointF, at);
        PixelBox box(10, 10);
        box.ScaleMode(scale);
        QString reported;
        QObject::connect(&box, &PictureBox::MouseDown, [&](short Button, short Shift, float X, float Y) {
            reported = QStringLiteral("%1 %2 %3 %4").arg(Button).arg(Shift).arg(X).arg(Y);
        });
        QMouseEvent press(QEvent::MouseButtonPress, at, box.mapToGlobal(at), button, button, modifiers);
        QApplication::sendEvent(&box, &press);
        QTEST(reported, "reported");
    }

    // The box keeps what it laid out last; measuring and printing must still
    // follow the text and font of the moment.
    void captionFollowsTextAndFont_data() {
        QTest::addColumn<QString>("earlierText");
        QTest::addColumn<int>("earlierPoints");
        QTest::newRow("01 same text, another font") << "AB1" << 8;
        QTest::newRow("02 another text, same font") << "AB2" << 12;
        QTest::newRow("03 longer text, same start") << "AB12" << 12;
    }
    void captionFollowsTextAndFont() {
        QFETCH(QString, earlierText);
        QFETCH(int, earlierPoints);
        const Text earlier = ToText(earlierText);
        PixelBox box(120, 40), fresh(120, 40);
        const auto points = [](PixelBox& drawn, int size) { drawn.Font(QFont(QStringLiteral("Sans Serif"), size)); };
        points(box, earlierPoints);
        box.TextWidth(earlier);
        box.Print(earlier);
        box.Cls();
        points(box, 12);
        points(fresh, 12);
        QCOMPARE(box.TextWidth(U"AB1"), fresh.TextWidth(U"AB1"));
        box.Print(U"AB1");
        fresh.Print(U"AB1");
        QCOMPARE(box.Image().Image(), fresh.Image().Image());
        // Text is centred by its measured width, so every character drawn counts:
        // U+009C once cut the measure short while the rest was still drawn.
        QVERIFY(box.TextWidth(U"A\u009CB") > box.TextWidth(U"AB"));
    }

    // The window's barcode box is 41 x 89 pixels, so two pixels a module, narrowed
    // to fit once drawn: start character, A, 1, stop character (ISO/IEC 16388's
    // table), one white module and one of background. Margins and gaps are white
    // whatever the background; beneath the bars only the caption, centred, stands on it.
    void barcodeOnPictureBoxFollowsTheModules() {
        PictureBox box;
        box.Move(120, 720, 615, 1335);
        box.BackColor(kPanel);
        DrawBarcode(U"A1", box);
        const QImage image = box.Image().Image();
        QString expected;
        for (const QChar module : QString(".#..#.##.##.#" ".##.#.#..#.##" ".##.#..#.#.##" ".#..#.##.##.#" ".-"))
            expected += QString(2, module);
        QCOMPARE(image.size(), QSize(expected.size(), 89));
        int captionTop = 0;
        while (captionTop < image.height() && PixelRow(image, captionTop) == expected) ++captionTop;
        QVERIFY2(captionTop > 40, qPrintable(PixelRow(image, 0)));
        QString ink(image.width(), '-');
        for (int y = captionTop; y < image.height(); ++y) {
            const QString row = PixelRow(image, y);
            QVERIFY(!row.contains('.'));
            for (int x = 0; x < row.size(); ++x) ink[x] = row[x] == '-' ? ink[x] : '#';
        }
        const int left = ink.indexOf('#');
        const int right = ink.lastIndexOf('#') + 1;
        QVERIFY2(left >= 0 && std::abs(left + right - image.width()) <= 2, qPrintable(ink));
    }

    // Each format is named by its suffix, in any case in a file name but in
    // lower case alone, and offered in the save dialog word for word.
    void formatsAreNamedBySuffix_data() {
        QTest::addColumn<PictureFormat>("format");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("filter");
        QTest::newRow("01 png") << PictureFormat::Png << "png" << "PNG image (*.png)";
        QTest::newRow("02 svg") << PictureFormat::Svg << "svg" << "SVG image (*.svg)";
        QTest::newRow("03 pdf") << PictureFormat::Pdf << "pdf" << "PDF document (*.pdf)";
    }
    void formatsAreNamedBySuffix() {
        QFETCH(PictureFormat, format);
        QFETCH(QString, suffix);
        QCOMPARE(SuffixOf(format), suffix);
        QTEST(SaveFilterOf(format), "filter");
        QCOMPARE(FormatOfSuffix(suffix), format);
        QVERIFY(!FormatOfSuffix(suffix.toUpper()));
        QCOMPARE(FormatOfName("labels/a.b." + suffix.toUpper()), format);
        QVERIFY(!FormatOfName("labels/" + suffix));
    }

    // The PNG file holds exactly the pixels, each a square of scale pixels, colours too, with
    // margins of the background around them, and says so in pHYs: 96 per inch / 0.0254 =
    // 3779.5 dots a metre, written 3780, times the scale. A coloured margin beside a picture of
    // greys makes a file of colours.
    void pngHoldsThePixels_data() {
        QTest::addColumn<Colour>("background");
        QTest::addColumn<int>("scale");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<Colour>("marginColour");
        QTest::addColumn<int>("dotsPerMetre");
        QTest::newRow("01 greys, as drawn") << kWindowBackground << 1 << QMargins() << kWindowBackground << 3780;
        QTest::newRow("02 a colour, enlarged") << kPanel << 3 << QMargins() << kPanel << 11340;
        QTest::newRow("03 greys, margins on every side, enlarged")
            << kWindowBackground << 2 << QMargins(18, 1, 16, 3) << kWindowBackground << 7560;
        QTest::newRow("04 a colour beside greys") << kWindowBackground << 1 << QMargins(5, 0, 7, 0) << kPanel << 3780;
        QTest::newRow("05 colours within grey margins") << kPanel << 1 << QMargins(5, 2, 7, 1) << kWindowBackground
                                                        << 3780;
    }
    void pngHoldsThePixels() {
        QFETCH(Colour, background);
        QFETCH(int, scale);
        QFETCH(QMargins, margins);
        QFETCH(Colour, marginColour);
        const QImage pixels = Drawn(QStringLiteral("TALLY-2026"), background).Image().Image();
        QImage padded(pixels.size().grownBy(margins), QImage::Format_RGB32);
        padded.fill(ToQColor(marginColour));
        QPainter(&padded).drawImage(margins.left(), margins.top(), pixels);
        const QImage read =
            QImage::fromData(EncodePng(pixels, scale, margins, ToQColor(marginColour).rgb()), "png");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), padded.scaled(padded.size() * scale));
        QTEST(read.dotsPerMeterX(), "dotsPerMetre");
        QTEST(read.dotsPerMeterY(), "dotsPerMetre");
    }

    // Rows of one grey from 1 to 600 pixels wide, one pixel of the second row white: runs of
    // every length up to the longest that a PNG's compression copies at once, twice over.
    void pngKeepsRunsOfEveryLength() {
        for (int width = 1; width <= 600; ++width) {
            QImage pixels(width, 2, QImage::Format_RGB32);
            pixels.fill(qRgb(64, 64, 64));
            pixels.setPixel(0, 1, qRgb(255, 255, 255));
            const QImage read = QImage::fromData(EncodePng(pixels, 1, QMargins(), qRgb(255, 255, 255)), "png");
            QVERIFY2(read.convertToFormat(QImage::Format_RGB32) == pixels, qPrintable(QString::number(width)));
        }
    }

    // The worked example is 108 x 89 pixels; margins widen it. SVG: pixels are its user units,
    // its width on paper 0.25 mm a pixel, edges crisp. PDF: a page of 0.5 mm a pixel, in points
    // (x 72 / 25.4), which Qt writes whole: 108 px is 153.07 pt, 89 px 126.14 pt, 142 px 201.26 pt,
    // 93 px 131.81 pt.
    void vectorFilesKeepSizeOnPaper_data() {
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<QString>("viewBox");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("mediaBox");
        QTest::newRow("01 as drawn") << QMargins() << "0 0 108 89" << "27mm" << "153 126";
        QTest::newRow("02 a quiet zone of 10 modules") << QMargins(18, 0, 16, 0) << "0 0 142 89" << "35.5mm" << "201 126";
        QTest::newRow("03 margins on every side") << QMargins(18, 3, 16, 1) << "0 0 142 93" << "35.5mm" << "201 132";
    }
    void vectorFilesKeepSizeOnPaper() {
        QFETCH(QMargins, margins);
        QFETCH(QString, viewBox);
        QFETCH(QString, width);
        QFETCH(QString, mediaBox);
        const Drawn drawn(QStringLiteral("A1"), kWindowBackground);
        const QString svg = QString::fromUtf8(SvgFile(drawn.Shapes(), 0.25, margins));
        for (const QString& part : {QStringLiteral("shape-rendering=\"crispEdges\""), "viewBox=\"" + viewBox + '"',
                                    "width=\"" + width + '"'})
            QVERIFY2(svg.contains(part), qPrintable(part));
        const QByteArray pdf = PdfFile(drawn.Shapes(), 0.5, margins);
        const QStringList points = mediaBox.split(' ');
        const QRegularExpression page(
            QStringLiteral("/MediaBox \\[0 0 %1(\\.0*)? %2(\\.0*)?\\]").arg(points[0], points[1]));
        QVERIFY2(pdf.startsWith("%PDF-") && page.match(QString::fromLatin1(pdf)).hasMatch(), pdf.left(2000).constData());
    }

    // The shapes drawn with margins are the pixels with the background around them.
    void vectorMarginsAreBackground() {
        const Drawn drawn(QStringLiteral("A1"), kPanel);
        const QMargins margins(18, 2, 16, 1);
        QImage painted(drawn.Shapes().Extent().grownBy(margins), QImage::Format_RGB32);
        painted.fill(Qt::black);
        QPainter painter(&painted);
        painter.translate(margins.left(), margins.top());
        drawn.Shapes().Paint(painter, margins);
        painter.end();
        QImage expected(painted.size(), QImage::Format_RGB32);
        expected.fill(ToQColor(kPanel));
        QPainter(&expected).drawImage(margins.left(), margins.top(), drawn.Image().Image());
        const int y = 10;  // across the bars, clear of the caption's smoothed text
        QCOMPARE(PixelRow(painted, y), PixelRow(expected, y));
        QCOMPARE(PixelRow(painted, 0), QString(painted.width(), u'-'));
    }

    // A box cut off by a narrower picture stays cut in the shapes when the picture grows again.
    void shrinkingLosesWhatFallsOutside() {
        PictureSurface surface(PictureSurface::Keeping::PixelsAndShapes);
        surface.ScaleMode(ScaleModeKind::Pixels);
        surface.Width(20 * kTwipsPerPixel);
        surface.Height(4 * kTwipsPerPixel);
        surface.Line(0, 0, 20, 4, kBlack);
        surface.Width(10 * kTwipsPerPixel);
        surface.Width(20 * kTwipsPerPixel);
        QImage painted(surface.Shapes().Extent(), QImage::Format_RGB32);
        QPainter painter(&painted);
        surface.Shapes().Paint(painter);
        QCOMPARE(painted, surface.Image().Image());
    }

    // A file that cannot be written whole leaves no part of itself and the
    // old file, if any, as it was.
    void failedWritesLeaveNothingHalfDone_data() {
        QTest::addColumn<Writing>("writing");
        QTest::newRow("01 safely") << Writing::Safely;
        QTest::newRow("02 quickly") << Writing::Quickly;
    }
    void failedWritesLeaveNothingHalfDone() {
        QFETCH(Writing, writing);
        const QTemporaryDir folder;
        const QString old = folder.filePath(QStringLiteral("old.png"));
        WriteWholeFile(old, "old", Writing::Safely);
        QDir(folder.path()).mkdir(QStringLiteral("a folder.png"));
        QVERIFY(QFile::link(old, folder.filePath(QStringLiteral("link.png"))));
        for (const char* name : {"a folder.png", "missing/a.png", "link.png"})
            QVERIFY_THROWS_EXCEPTION(FileError, WriteWholeFile(folder.filePath(name), "new", writing));
        WriteWholeFile(old, "replaced", writing);
        QFile file(old);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("replaced"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 (QStringList{"link.png", "old.png"}));
    }

    // What becomes of a file written over one that is there: a batch leaves
    // the same contents alone; either way a replaced file keeps its
    // permissions, and nothing else is left in the folder.
    // The kept panel is the style's own in every look the box takes in turn:
    // a key that left out focus or colours would show the look before.
    void textBoxLooksAsTheStyleDrawsIt() {
        QWidget window;
        TextBox box(&window);
        box.setGeometry(0, 0, 249, 28);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // The panel as the style draws it for the box as it is now, on the window's colour.
        const auto panel = [&](const QStyle& style) {
            QImage image(box.size(), QImage::Format_RGB32);
            image.fill(window.palette().window().color());
            QPainter painter(&image);
            QStyleOptionFrame option;
            option.initFrom(&box);
            option.lineWidth = style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box);
            style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, &box);
            return image;
        };
        struct Look {
            const char* name;
            bool focused;
            QColor text;
        };
        for (const Look& look : {Look{"focused", true, Qt::black}, Look{"unfocused", false, Qt::black},
                                 Look{"unfocused, red", false, Qt::red}, Look{"focused, red", true, Qt::red},
                                 Look{"focused again", true, Qt::black}}) {
            QPalette palette = box.palette();
            palette.setColor(QPalette::Text, look.text);
            palette.setColor(QPalette::Base, look.text == Qt::red ? Qt::yellow : Qt::white);
            box.setPalette(palette);
            if (look.focused) {
                box.setFocus();
            } else {
                box.clearFocus();
            }
            QTRY_COMPARE(box.hasFocus(), look.focused);
            QVERIFY2(LargestDifference(panel(*QApplication::style()), panel(*box.style())) <= 2, look.name);
        }
    }

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
        QCOMPARE(int(WriteWholeFile(path, contents, writing)), written);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
        QCOMPARE(file.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser), readOnly);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"a.png"});
    }
};

QTEST_MAIN(PlatformQtTest)
#include "tst_platformqt.moc"
