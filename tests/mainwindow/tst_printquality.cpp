#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <set>

#include "Code39Reader.h"
#include "Grades.h"
#include "QtPage.h"
#include "ScanGrade.h"
#include "frmBarCode.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE39-TALLYLINE/2026.$";  // 23 characters

struct RecordingReporter : ErrorReporter {
    void Report(const QString& action, const QString& reason) noexcept override {
        failures.append(action + ": " + reason);
    }
    QStringList failures;
};

// The distinct widths of a scan line's bars and spaces, to a tenth of a dot.
QString Widths(const scangrade::ScanLineGrade& line) {
    std::set<double> distinct;
    for (const double width : line.widths) distinct.insert(std::round(width * 10) / 10);
    QStringList widths;
    for (const double width : distinct) widths.append(QString::number(width));
    return widths.join(", ");
}

}  // namespace

// The window's print path onto printers of the resolutions that labels and
// office printers have, each page rasterised at its printer's resolution
// and graded as a verifier would.
class TestPrintQuality : public QObject {
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void printedPagesScan_data() {
        QTest::addColumn<int>("dpi");
        for (const int dpi : {203, 300, 600}) QTest::addRow("%d dpi", dpi) << dpi;
    }

    void printedPagesScan() {
        QFETCH(int, dpi);
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

        const QString png = folder.filePath(QString("page-%1").arg(dpi));
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-singlefile", "-png",
                                                 pdf, png}), 0);
        const QImage page = scangrade::ReadPage(png + ".png");
        QCOMPARE(ReadCode39(page), QStringList{kLongest});
        const scangrade::SymbolGrade symbol = scangrade::GradeSymbol(scangrade::GreyPage(page));
        QCOMPARE(symbol.scans.size(), 10u);
        for (const scangrade::ScanLineGrade& line : symbol.scans) {
            QCOMPARE(QString::fromStdString(line.decoded.text), kLongest);
        }
        const scangrade::ScanLineGrade& first = symbol.scans.front();
        qInfo("grade %.1f (%c); first scan line: symbol contrast %.2f, edge contrast %.2f, modulation %.2f, "
              "defects %.2f, decodability %.2f, module %.2f dots, wide to narrow %.2f; widths in dots %s",
              symbol.grade, scangrade::Letter(symbol.grade), first.symbolContrast, first.minEdgeContrast,
              first.modulation, first.defects, first.decoded.decodability, first.decoded.module,
              first.decoded.wideToNarrow, qPrintable(Widths(first)));
    }
};

QTEST_MAIN(TestPrintQuality)
#include "tst_printquality.moc"
