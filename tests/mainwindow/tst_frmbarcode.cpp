#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "Code39Reader.h"
#include "QtColour.h"
#include "frmBarCode.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE 39 TALLY-LINE/2026";  // 23 characters, wider than the window

// At 89 pixels the module is 2 pixels: 13 modules a character, start and
// stop included, plus a module of margin on each side.
int BarcodeWidth(int characters) { return 26 * characters + 56; }
QImage Copied() { return QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32); }

// What a scanner reads from each printed page, rasterised as a printer would.
QList<QStringList> ReadPages(const QString& pdf) {
    QProcess::execute("pdftoppm", {"-r", "150", "-png", pdf, pdf});
    QList<QStringList> pages;
    const QFileInfo file(pdf);
    for (const QFileInfo& page : file.dir().entryInfoList({file.fileName() + "-*.png"}, QDir::Files, QDir::Name))
        pages.append(ReadCode39(QImage(page.filePath())));
    return pages;
}

struct RecordingReporter : ErrorReporter {
    void Report(const QString& action, const QString&) noexcept override { actions.append(action); }
    QStringList actions;
};

}  // namespace

class TestFrmBarCode : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    int printed = 0;
    bool failing = false, hiddenWhilePrinting = true;
    const frmPrint* printingWith = nullptr;
    RecordingReporter reporter;
    std::unique_ptr<frmBarCode> form;

    // Asked for once the print form holds the picture: the next numbered PDF file, or none while failing.
    std::unique_ptr<QPrinter> NextPdf() {
        printingWith = form->LoadedPrintForm();
        hiddenWhilePrinting = hiddenWhilePrinting && printingWith && !printingWith->isVisible();
        return failing ? nullptr : PdfPrinter(PdfPath(++printed));
    }
    QString PdfPath(int number) const { return folder.filePath(QString("print-%1.pdf").arg(number)); }
    QImage Drawn() const { return form->Picture1.Image().Image().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init() {
        reporter.actions.clear();
        printed = 0;
        failing = false;
        form = std::make_unique<frmBarCode>(reporter, [this] { return NextPdf(); });
    }

    void windowFollowsItsDesign() {
        // Picture1's width is the sample barcode's; its place and height are designed.
        const std::pair<QWidget*, QRect> designed[] = {
            {form.get(), QRect(10, 117, 519, 213)},    {&form->Text1, QRect(160, 8, 249, 28)},
            {&form->Picture2, QRect(2, 40, 513, 113)}, {&form->Picture3, QRect(92, 171, 249, 22)},
            {&form->Picture1, QRect(8, 48, BarcodeWidth(10), 89)},
            {form->xpcmdbutton1.get(), QRect(384, 168, 97, 33)}};
        for (const auto& [widget, geometry] : designed) QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(form->childAt(20, 60), &form->Picture1);
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->windowTitle(), QString(" Tallyline"));
        QCOMPARE(form->Text1.font().pixelSize(), 15);
        QCOMPARE(ReadCode39(Drawn()), QStringList{form->Text1.text()});
        // Font sizes are the designed points at 96 dots per inch; self-sizing labels show only their corner.
        const QColor grey(128, 128, 128);
        const struct { const DesignLabel& label; const char* caption; QRect area; int pixels, weight; QColor colour; }
            labels[] = {{form->Label1, "BarCode Text :", {48, 11, 0, 0}, 15, 400, Qt::black},
                        {form->Label2, "Tested with an independent barcode decoder", {88, 194, 257, 49}, 11, 400, grey},
                        {form->Label3, "Right-Click to Copy to Clipboard", {96, 155, 0, 0}, 13, 700, grey}};
        for (const auto& [label, caption, area, pixels, weight, colour] : labels) {
            QCOMPARE(label.caption, QString(caption));
            QCOMPARE(label.Area().topLeft(), area.topLeft());
            if (!area.isEmpty()) QCOMPARE(label.Area(), area);
            QCOMPARE(label.font.pixelSize(), pixels);
            QCOMPARE(static_cast<int>(label.font.weight()), weight);
            QCOMPARE(ToQColor(label.foreColor), colour);
        }
        QList<QWidget*> order;
        QWidget* widget = &form->Text1;
        do {
            if (widget->focusPolicy() & Qt::TabFocus) order.append(widget);
        } while ((widget = widget->nextInFocusChain()) != &form->Text1);
        QCOMPARE(order, (QList<QWidget*>{&form->Text1, &form->Picture1, &form->Picture2, &form->Picture3,
                                         form->xpcmdbutton1.get()}));
        QCOMPARE(form->focusWidget(), &form->Text1);
        QStringList captions;
        for (const QAction* action : form->mnuMenu.actions()) captions.append(action->text());
        QCOMPARE(captions, (QStringList{"Copy to Clipboard", "Print", "Save As..."}));
    }

    void everyKeystrokeRedraws() {
        form->Text1.clear();
        const QString typed = "code 39-x";
        for (int k = 1; k <= typed.size(); ++k) {
            QTest::keyClick(&form->Text1, typed[k - 1].toLatin1());
            QCOMPARE(form->Picture1.width(), BarcodeWidth(k));
        }
        QCOMPARE(form->Text1.text(), typed);
        // Cutting everything leaves a blank picture at the last width.
        form->Text1.selectAll();
        QTest::keyClick(&form->Text1, Qt::Key_X, Qt::ControlModifier);
        QImage blank(BarcodeWidth(typed.size()), 89, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QCOMPARE(Drawn(), blank);
    }

    void textStopsAt23CharactersTypedOrPasted() {
        const QString longText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        QApplication::clipboard()->setText(longText);
        for (const bool paste : {false, true}) {
            form->Text1.clear();
            if (paste) QTest::keyClick(&form->Text1, Qt::Key_V, Qt::ControlModifier);
            else QTest::keyClicks(&form->Text1, longText);
            QCOMPARE(form->Text1.text(), longText.left(23));
            QCOMPARE(ReadCode39(Drawn()), QStringList{longText.left(23)});
        }
    }

    void onlyARightPressWithTextOpensTheMenu_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("opens");
        const std::pair<const char*, Qt::KeyboardModifiers> held[] = {
            {"", {}}, {"+shift", Qt::ShiftModifier}, {"+ctrl", Qt::ControlModifier}, {"+alt", Qt::AltModifier}};
        for (const auto& [name, modifiers] : held) {
            QTest::addRow("right%s", name) << "A" << Qt::RightButton << modifiers << true;
            QTest::addRow("right%s, blank text", name) << " " << Qt::RightButton << modifiers << true;
            QTest::addRow("right%s, empty text", name) << "" << Qt::RightButton << modifiers << false;
            QTest::addRow("left%s", name) << "A" << Qt::LeftButton << modifiers << false;
            QTest::addRow("middle%s", name) << "A" << Qt::MiddleButton << modifiers << false;
        }
    }
    void onlyARightPressWithTextOpensTheMenu() {
        QFETCH(QString, text);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, opens);
        form->Text1.setText(text);
        // The open menu runs its own event loop, where this timer sees it and closes it.
        bool opened = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout,
                [&] { opened |= QApplication::activePopupWidget() == &form->mnuMenu; form->mnuMenu.close(); });
        closer.start(10);
        QTest::mousePress(&form->Picture1, button, modifiers, QPoint(20, 20));
        QTest::mouseRelease(&form->Picture1, button, modifiers, QPoint(20, 20));
        QCOMPARE(opened, opens);
    }

    void uncarriedCharactersAreMarked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("uncarried");
        QTest::newRow("all carried, lower case too") << "tally-12 $/+%." << "";
        QTest::newRow("no pattern, each named once") << "A#B@C#!" << "# @ !";
        QTest::newRow("accented") << "CAFÉ é" << "É é";
        QTest::newRow("outside the code page") << QString::fromUtf8("Ж1😀") << QString::fromUtf8("Ж 😀");
        QTest::newRow("stop character inside") << "AB*CD" << "*";
    }
    void uncarriedCharactersAreMarked() {
        QFETCH(QString, text);
        QFETCH(QString, uncarried);
        form->Text1.setText(text);
        QCOMPARE(form->Text1.palette().color(QPalette::Text) == QColor(Qt::black), uncarried.isEmpty());
        QCOMPARE(form->Text1.toolTip().section(": ", 1), uncarried);
        form->Text1.setText("AB");
        QCOMPARE(form->Text1.palette().color(QPalette::Text), QColor(Qt::black));
    }

    void everyCopyHoldsOnlyTheWholePicture() {
        form->Text1.setText(kLongest);
        QApplication::clipboard()->setText("left over");
        form->CopyBarcode();
        QVERIFY(!QApplication::clipboard()->mimeData()->hasText());
        QCOMPARE(Copied(), Drawn());
        QCOMPARE(ReadCode39(Copied()), QStringList{kLongest});
        // The menu, the button and copying again give the same picture.
        QApplication::clipboard()->clear();
        form->mnuCopy.trigger();
        QCOMPARE(Copied(), Drawn());
        QApplication::clipboard()->clear();
        QTest::mouseClick(form->xpcmdbutton1.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(Copied(), Drawn());
    }

    void everyPrintIsOneDocumentOfOnePage() {
        form->Text1.setText(kLongest);
        form->PrintBarcode();
        form->mnuPrint.trigger();
        QVERIFY2(reporter.actions.isEmpty(), qPrintable(reporter.actions.join(", ")));
        QVERIFY(hiddenWhilePrinting);
        QCOMPARE(printed, 2);
        for (int number : {1, 2}) QCOMPARE(ReadPages(PdfPath(number)), QList<QStringList>{{kLongest}});
    }

    void failedPrintLeavesTheFormForTheNext() {
        failing = true;
        form->PrintBarcode();
        const frmPrint* loaded = form->LoadedPrintForm();
        QVERIFY(loaded != nullptr && !loaded->isVisible());
        failing = false;
        form->Text1.setText("AGAIN");
        form->PrintBarcode();
        QCOMPARE(reporter.actions, QStringList{"Printing the barcode"});
        QCOMPARE(printingWith, loaded);
        QVERIFY(form->LoadedPrintForm() == nullptr);
        QCOMPARE(ReadPages(PdfPath(printed)), QList<QStringList>{{"AGAIN"}});
    }
};

QTEST_MAIN(TestFrmBarCode)
#include "tst_frmbarcode.moc"
