#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "mainwindow/frmBarCode.h"
#include "tests/support/Code39Reader.h"
#include "tests/support/RecordingReporter.h"
#include "tools/scangrade/Grades.h"
#include "tools/scangrade/QtPage.h"
#include "tools/scangrade/ScanGrade.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE39-TALLYLINE/2026.$";  // 23 characters

QList<int> Distinct(const std::vector<int>& values) {
    QList<int> distinct(values.begin(), values.end());
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    return distinct;
}

}  // namespace

// The window's print path onto printers of the resolutions that labels and
// office printers have, each page rasterised at its printer's resolution as
// a printer's raster processor would, smoothed, and graded as a verifier would.
class TestPrintQuality : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    // The screen's 2-pixel module at 96 pixels an inch, in whole printer dots:
    // 2 * 203 / 96 = 4.2 -> 4, 2 * 300 / 96 = 6.25 -> 6, 2 * 600 / 96 = 12.5 -> 12 (a tie goes to the even).
    // At 180 and 360 dpi rounding down would give other modules than the nearest:
    // 2 * 180 / 96 = 3.75 -> 4 (not 3), 2 * 360 / 96 = 7.5 -> 8 (not 7).
    void printedPagesScan_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("module");
        QTest::newRow("01 label printer, 203 dpi") << 203 << 4;
        QTest::newRow("02 office printer, 300 dpi") << 300 << 6;
        QTest::newRow("03 office printer, 600 dpi") << 600 << 12;
        QTest::newRow("04 ink jet, 180 dpi, 3.75 dots to the nearest") << 180 << 4;
        QTest::newRow("05 ink jet, 360 dpi, 7.5 dots to the even") << 360 << 8;
    }
    void printedPagesScan() {
        QFETCH(int, dpi);
        QFETCH(int, module);
        const QString pdf = folder.filePath(QString("print-%1.pdf").arg(dpi));
        RecordingReporter reporter;
        frmBarCode form(reporter, [&] {
            auto printer = PdfPrinter(pdf);
            printer->setResolution(dpi);
            return printer;
        });
        form.Text1.setText(kLongest);
        form.PrintBarcode();
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join('\n')));
        // The barcode goes as shapes, not as a picture resampled to the printer:
        // pdfimages lists no image below its heading of two lines.
        QProcess pdfimages;
        pdfimages.start("pdfimages", {"-list", pdf});
        pdfimages.waitForFinished(-1);
        const QStringList images = QString::fromUtf8(pdfimages.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(images.size() == 2, qPrintable("the page holds images:\n" + images.join('\n')));

        const QString png = folder.filePath(QString("page-%1").arg(dpi));
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-singlefile", "-png", pdf, png}), 0);
        const QImage page = scangrade::ReadPage(png + ".png");
        const scangrade::SymbolGrade symbol = scangrade::GradeSymbol(scangrade::GreyPage(page));
        QCOMPARE(ReadCode39(page), QStringList{kLongest});
        // Ten scan lines, as a verifier takes them, each decoding the text with every narrow
        // bar and space exactly a module and every wide one two (the wide to narrow ratio of 2:1).
        QCOMPARE(symbol.scans.size(), 10u);
        for (const scangrade::ScanLineGrade& line : symbol.scans) {
            QCOMPARE(QString::fromStdString(line.decoded.text), kLongest);
            QCOMPARE(Distinct(line.dotRuns), (QList<int>{module, 2 * module}));
        }
        QCOMPARE(symbol.grade, 4.0);  // 4.0 is grade A, the best a verifier gives
    }

    // The picture sits 8 pixels across the form, which at 150 dpi is 12.5 dots:
    // its corner taken to a whole dot keeps every bar's edge on a dot's edge,
    // where half a dot off would leave a dot half bar and half space at each
    // edge. The rasteriser blends its own edges by an eighth of a dot.
    void pictureCornerOnWholeDot() {
        const QString pdf = folder.filePath("corner-150.pdf");
        RecordingReporter reporter;
        frmBarCode form(reporter, [&] {
            auto printer = PdfPrinter(pdf);
            printer->setResolution(150);
            return printer;
        });
        form.Text1.setText(kLongest);
        form.PrintBarcode();
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join('\n')));
        const QString png = folder.filePath("corner-150");
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", "150", "-singlefile", "-png", pdf, png}), 0);
        const scangrade::GreyImage page = scangrade::GreyPage(scangrade::ReadPage(png + ".png"));
        const scangrade::SymbolGrade symbol = scangrade::GradeSymbol(page);
        QCOMPARE(symbol.scans.size(), 10u);
        for (const scangrade::ScanLineGrade& line : symbol.scans) {
            for (int x = 0; x < page.width; ++x) {
                const int dot = page.At(x, line.row);
                QVERIFY2(dot <= 255 / 4 || dot >= 255 - 255 / 4,
                         qPrintable(QString("dot %1 of row %2 is %3 grey").arg(x).arg(line.row).arg(dot)));
            }
        }
    }
};

QTEST_MAIN(TestPrintQuality)
#include "tst_printquality.moc"
