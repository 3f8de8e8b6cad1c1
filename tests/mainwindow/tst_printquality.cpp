#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <set>

#include "mainwindow/frmBarCode.h"
#include "tests/support/Code39Reader.h"
#include "tools/scangrade/Grades.h"
#include "tools/scangrade/QtPage.h"
#include "tools/scangrade/ScanGrade.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE39-TALLYLINE/2026.$";  // 23 characters

struct RecordingReporter : ErrorReporter {
    void Report(const QString& action, const QString& reason) noexcept override {
        failures.append(action + ": " + reason);
    }
    QStringList failures;
};

// The distinct values, smallest first.
template <typename Number>
QList<Number> Distinct(const std::vector<Number>& values) {
    const std::set<Number> distinct(values.begin(), values.end());
    return {distinct.begin(), distinct.end()};
}

template <typename Number>
QString Listed(const QList<Number>& values) {
    QStringList texts;
    for (const Number value : values) texts.append(QString::number(value));
    return texts.join(", ");
}

std::vector<double> Tenths(const std::vector<double>& widths) {
    std::vector<double> rounded;
    for (const double width : widths) rounded.push_back(std::round(width * 10) / 10);
    return rounded;
}

// The raster images that a PDF file holds, one line each as pdfimages lists them.
QStringList ImagesIn(const QString& pdf) {
    QProcess pdfimages;
    pdfimages.start("pdfimages", {"-list", pdf});
    pdfimages.waitForFinished(-1);
    // Below a heading of two lines.
    return QString::fromUtf8(pdfimages.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts).mid(2);
}

}  // namespace

// The window's print path onto printers of the resolutions that labels and
// office printers have, each page rasterised at its printer's resolution as
// a printer's raster processor would, smoothed, and graded as a verifier would.
class TestPrintQuality : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void printedPagesScan_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("module");  // dots: the nearest whole number to 0.529 mm
        QTest::addRow("203 dpi") << 203 << 4;
        QTest::addRow("300 dpi") << 300 << 6;
        QTest::addRow("600 dpi") << 600 << 12;
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
        QVERIFY2(reporter.failures.isEmpty(), qPrintable(reporter.failures.join('\n')));
        // The barcode goes as shapes, not as a picture resampled to the printer.
        const QStringList images = ImagesIn(pdf);
        QVERIFY2(images.isEmpty(), qPrintable("the page holds images:\n" + images.join('\n')));

        const QString png = folder.filePath(QString("page-%1").arg(dpi));
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-singlefile", "-png",
                                                 pdf, png}), 0);
        const QImage page = scangrade::ReadPage(png + ".png");
        const scangrade::SymbolGrade symbol = scangrade::GradeSymbol(scangrade::GreyPage(page));
        QVERIFY(!symbol.scans.empty());
        const scangrade::ScanLineGrade& first = symbol.scans.front();
        qInfo("grade %.1f (%c); first scan line: symbol contrast %.2f, edge contrast %.2f, modulation %.2f, "
              "defects %.2f, decodability %.2f, module %.2f dots, wide to narrow %.2f; widths in dots %s, "
              "binarised %s",
              symbol.grade, scangrade::Letter(symbol.grade), first.symbolContrast, first.minEdgeContrast,
              first.modulation, first.defects, first.decoded.decodability, first.decoded.module,
              first.decoded.wideToNarrow, qPrintable(Listed(Distinct(Tenths(first.widths)))),
              qPrintable(Listed(Distinct(first.dotRuns))));

        QCOMPARE(ReadCode39(page), QStringList{kLongest});
        QCOMPARE(symbol.scans.size(), 10u);
        for (const scangrade::ScanLineGrade& line : symbol.scans) {
            QCOMPARE(QString::fromStdString(line.decoded.text), kLongest);
            // Every narrow bar and space exactly a module, every wide one two.
            QCOMPARE(Distinct(line.dotRuns), (QList<int>{module, 2 * module}));
        }
        QCOMPARE(symbol.grade, 4.0);
    }
};

QTEST_MAIN(TestPrintQuality)
#include "tst_printquality.moc"
