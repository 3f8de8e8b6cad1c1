#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "mainwindow/frmBarCode.h"
#include "tests/support/Code39Reader.h"
#include "tests/support/RecordingReporter.h"

using namespace tallyline;

// The window's print path at resolutions where the screen's pixels fall between
// printer dots, each page rasterised at its printer's resolution as a printer's
// raster processor would (smoothed); 300 dpi is the end-to-end print test's.
class TestPrintQuality : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    // The 2-pixel module in the nearest whole dots: 2 * 150 / 96 = 3.125 -> 3,
    // 2 * 180 / 96 = 3.75 -> 4 (not 3), 2 * 360 / 96 = 7.5 -> 8 (a tie to the even).
    // At 150 dpi the picture sits 8 pixels, 12.5 dots, across the form: its corner
    // on a whole dot keeps every edge on a dot's edge, where half a dot off would
    // grey a dot at each edge.
    void printedBarsAreWholeDots_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("module");
        QTest::newRow("150 dpi") << 150 << 3;
        QTest::newRow("180 dpi") << 180 << 4;
        QTest::newRow("360 dpi") << 360 << 8;
    }
    void printedBarsAreWholeDots() {
        QFETCH(int, dpi);
        QFETCH(int, module);
        const QString text = QStringLiteral("CODE39-TALLYLINE/2026.$");
        const QString pdf = folder.filePath(QString("print-%1.pdf").arg(dpi));
        RecordingReporter reporter;
        frmBarCode form(reporter, [&] {
            auto printer = PdfPrinter(pdf);
            printer->setResolution(dpi);
            return printer;
        });
        form.Text1.setText(text);
        form.PrintBarcode();
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join('\n')));
        // Shapes, not a picture resampled to the printer: pdfimages lists no image below its heading.
        QProcess pdfimages;
        pdfimages.start("pdfimages", {"-list", pdf});
        QVERIFY(pdfimages.waitForFinished(-1));
        QCOMPARE(pdfimages.readAllStandardOutput().count('\n'), 2);

        const QString png = folder.filePath(QString("page-%1").arg(dpi));
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-singlefile", "-png", pdf, png}), 0);
        const QImage page = QImage(png + ".png").convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(ReadCode39(page), QStringList{text});
        // Across the bars, the row with the most ink: every dot black or white, every bar and space
        // one module or two.
        const auto inked = [&](int y) {
            const uchar* dots = page.constScanLine(y);
            return std::count_if(dots, dots + page.width(), [](uchar grey) { return grey < 128; });
        };
        int across = 0;
        for (int y = 1; y < page.height(); ++y) across = inked(y) > inked(across) ? y : across;
        QString row;
        for (const uchar grey : QByteArrayView(page.constScanLine(across), page.width())) {
            QVERIFY2(grey <= 255 / 4 || grey >= 255 - 255 / 4, qPrintable(QString("a dot %1 grey").arg(grey)));
            row += grey < 128 ? '#' : '.';
        }
        QSet<int> widths;
        static const QRegularExpression element(QStringLiteral("#+|\\.+"));
        for (const auto& run : element.globalMatch(row.mid(row.indexOf('#'), row.lastIndexOf('#') - row.indexOf('#') + 1)))
            widths << run.capturedLength();
        QCOMPARE(widths, (QSet<int>{module, 2 * module}));
    }
};

QTEST_MAIN(TestPrintQuality)
#include "tst_printquality.moc"
