#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "Code39Reader.h"
#include "RecordingReporter.h"
#include "frmBarCode.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE 39 TALLY-LINE/2026"; // 23 characters, wider than the window

QImage ClipboardImage() {
    return QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
}

int PageCount(const QString& pdf) {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    static const QRegularExpression page(R"(/Type\s*/Page\b)");
    return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
}

// What a scanner reads from the printed page, rasterised as a printer would.
QStringList ReadPage(const QString& pdf) {
    QProcess raster;
    raster.start("pdftoppm", {"-r", "150", "-png", "-singlefile", pdf, pdf});
    if (!raster.waitForFinished(30000) || raster.exitCode() != 0) return {"pdftoppm failed"};
    return ReadCode39(QImage(pdf + ".png"));
}

}  // namespace

class TestCopyAndPrint : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    int printed = 0;
    RecordingReporter reporter;
    // Prints go to numbered PDF files; each print checks that the form is
    // loaded and hidden while it renders.
    std::unique_ptr<frmBarCode> form;
    bool hiddenWhilePrinting = true;

    std::unique_ptr<QPrinter> NextPdf() {
        hiddenWhilePrinting = hiddenWhilePrinting && form->LoadedPrintForm() != nullptr && !form->LoadedPrintForm()->isVisible();
        return PdfPrinter(PdfPath(++printed));
    }
    QString PdfPath(int number) const { return folder.filePath(QString("print-%1.pdf").arg(number)); }

private slots:
    void init() {
        reporter.actions.clear();
        form = std::make_unique<frmBarCode>(reporter, [this] { return NextPdf(); });
    }
    void cleanup() { form.reset(); }

    void copyLeavesOnlyTheWholeBitmap_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("sample") << QString();
        QTest::newRow("past the window's edge") << kLongest;
        QTest::newRow("lower case") << "tally";
    }
    void copyLeavesOnlyTheWholeBitmap() {
        QFETCH(QString, text);
        if (!text.isEmpty()) form->Text1.setText(text);
        QApplication::clipboard()->setText("left over");
        form->CopyBarcode();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasImage());
        QVERIFY(!data->hasText());
        QCOMPARE(ClipboardImage(), form->Picture1.Image().Image().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(ReadCode39(ClipboardImage()), QStringList{form->Text1.text().toUpper()});
    }

    void menuButtonAndRepeatedCopiesGiveTheSameBitmap() {
        form->CopyBarcode();
        const QImage first = ClipboardImage();
        QApplication::clipboard()->clear();
        form->mnuCopy.trigger();
        QCOMPARE(ClipboardImage(), first);
        QApplication::clipboard()->clear();
        QTest::mouseClick(form->xpcmdbutton1.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(ClipboardImage(), first);
        form->CopyBarcode();
        QCOMPARE(ClipboardImage(), first);
    }

    void copyOfTheEmptyTextIsBlankAtTheLastWidth() {
        form->Text1.setText(kLongest);
        form->Text1.clear();
        form->CopyBarcode();
        const QImage blank = ClipboardImage();
        QCOMPARE(blank.size(), QSize(26 * 23 + 56, 89));
        QImage white(blank.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        QCOMPARE(blank, white);
    }

    void everyPrintIsOneDocumentOfOnePage_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("sample") << QString();
        QTest::newRow("23 characters print whole") << kLongest;
    }
    void everyPrintIsOneDocumentOfOnePage() {
        QFETCH(QString, text);
        if (!text.isEmpty()) form->Text1.setText(text);
        const int before = printed;
        form->PrintBarcode();
        form->mnuPrint.trigger();
        QVERIFY2(reporter.actions.isEmpty(), qPrintable(reporter.actions.join(", ")));
        QCOMPARE(printed, before + 2);
        QVERIFY(hiddenWhilePrinting);
        QVERIFY(form->LoadedPrintForm() == nullptr);
        for (int number = before + 1; number <= printed; ++number) {
            QCOMPARE(PageCount(PdfPath(number)), 1);
            QCOMPARE(ReadPage(PdfPath(number)), QStringList{form->Text1.text()});
        }
    }

    void failedPrintReportsAndKeepsTheFormLoaded_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pictureWidth");
        QTest::addColumn<int>("formWidth");
        QTest::newRow("fits the designed form") << "TALLY" << 633 << 661;
        QTest::newRow("widens form and picture") << kLongest << 26 * 23 + 56 << 26 * 23 + 56 + 28;
    }
    void failedPrintReportsAndKeepsTheFormLoaded() {
        QFETCH(QString, text);
        QFETCH(int, pictureWidth);
        QFETCH(int, formWidth);
        bool fail = true;
        RecordingReporter failures;
        frmBarCode window(failures, [&]() -> std::unique_ptr<QPrinter> {
            return fail ? nullptr : PdfPrinter(PdfPath(++printed));
        });
        window.Text1.setText(text);
        window.PrintBarcode();
        QCOMPARE(failures.actions, QStringList{"Printing the barcode"});
        const frmPrint* loaded = window.LoadedPrintForm();
        QVERIFY(loaded != nullptr);
        QVERIFY(!loaded->isVisible());
        QCOMPARE(loaded->size(), QSize(formWidth, 204));
        QCOMPARE(loaded->Picture1.geometry(), QRect(8, 16, pictureWidth, 129));
        // The next print uses the loaded form, and unloads it once printed.
        fail = false;
        window.Text1.setText("AGAIN");
        window.PrintBarcode();
        QCOMPARE(failures.actions.size(), 1);
        QVERIFY(window.LoadedPrintForm() == nullptr);
        QCOMPARE(ReadPage(PdfPath(printed)), QStringList{"AGAIN"});
    }
};

QTEST_MAIN(TestCopyAndPrint)
#include "tst_copyandprint.moc"
