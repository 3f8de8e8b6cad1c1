#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "mainwindow/design/Colours.h"
#include "mainwindow/frmBarCode.h"
#include "platform/qt/QtColour.h"
#include "tests/support/Code39Reader.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE 39 TALLY-LINE/2026";  // 23 characters, wider than the window

// Code 39 (ISO/IEC 16388) at a module of 2 pixels, what an 89-pixel picture
// gets: 13 modules a character (6 narrow + 3 wide of 2 + a 1-module gap), the
// same for * at each end, plus a module of margin a side: 2 * (13n + 26 + 2).
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
    void Report(const QString& action, const QString& reason) noexcept override { reports << action + ": " + reason; }
    void Parent(QWidget* window) noexcept override { parent = window; }
    QStringList reports;
    QWidget* parent = nullptr;
};

// The smallest rectangle holding every pixel where two pictures of one size differ.
QRect Difference(const QImage& a, const QImage& b) {
    QRect ink;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) ink |= QRect(x, y, 1, 1);
    return ink;
}

// Where a label's text leaves ink, drawn alone on the window's background.
QRect InkOf(const DesignLabel& label, QSize window) {
    QImage blank(window, QImage::Format_RGB32);
    blank.fill(ToQColor(design::kFormBackColor));
    QImage drawn = blank;
    QPainter painter(&drawn);
    label.Draw(painter);
    painter.end();
    return Difference(drawn, blank);
}

// Runs `action`, which may open the window's menu, and closes the menu if it
// opened: where it showed, or nothing. The open menu runs its own event loop,
// where a timer sees it.
std::optional<QPoint> MenuOpenedBy(QMenu& menu, const std::function<void()>& action) {
    std::optional<QPoint> shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QApplication::activePopupWidget() == &menu) shown = menu.pos();
        menu.close();
    });
    closer.start(10);
    action();
    return shown;
}

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
        reporter.reports.clear();
        printed = 0;
        failing = false;
        form.reset();
        form = std::make_unique<frmBarCode>(reporter, [this] { return NextPdf(); });
    }

    // Every value here is the window's design; Picture1's width is the sample
    // barcode's (ten characters), its place and height are designed.
    void windowFollowsItsDesign() {
        const std::pair<QWidget*, QRect> designed[] = {
            {form.get(), QRect(10, 117, 519, 213)},    {&form->Text1, QRect(160, 8, 249, 28)},
            {&form->Picture2, QRect(2, 40, 513, 113)}, {&form->Picture3, QRect(92, 171, 249, 22)},
            {&form->Picture1, QRect(8, 48, BarcodeWidth(10), 89)},
            {form->xpcmdbutton1.get(), QRect(384, 168, 97, 33)}};
        for (const auto& [widget, geometry] : designed) QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(form->childAt(20, 60), &form->Picture1);
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
        QCOMPARE(form->windowTitle(), QString(" Tallyline"));
        QCOMPARE(form->Text1.font().pixelSize(), 15);
        QCOMPARE(form->Text1.text(), QString("TALLY-2026"));
        QCOMPARE(ReadCode39(Drawn()), QStringList{"TALLY-2026"});
        QList<QWidget*> order;
        for (QWidget* widget = &form->Text1; order.isEmpty() || widget != &form->Text1;
             widget = widget->nextInFocusChain()) {
            if (widget->focusPolicy() & Qt::TabFocus) order.append(widget);
        }
        QCOMPARE(order, (QList<QWidget*>{&form->Text1, &form->Picture1, &form->Picture2, &form->Picture3,
                                         form->xpcmdbutton1.get()}));
        QCOMPARE(form->focusWidget(), &form->Text1);
        QStringList captions;
        for (const QAction* action : form->mnuMenu.actions()) captions.append(action->text());
        QCOMPARE(captions, (QStringList{"Copy to Clipboard", "Print", "Save As..."}));
    }

    // The text box holds 23 characters, however they come (the window's design).
    void everyKeystrokeRedraws_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("read");  // Code 39 carries upper case only
        const QString tooLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        QTest::newRow("01 lower case is kept, drawn upper-cased") << "code 39-x" << false << "code 39-x" << "CODE 39-X";
        QTest::newRow("02 typing stops at 23") << tooLong << false << tooLong.left(23) << tooLong.left(23);
        QTest::newRow("03 pasting stops at 23") << tooLong << true << tooLong.left(23) << tooLong.left(23);
    }
    void everyKeystrokeRedraws() {
        QFETCH(QString, input);
        QFETCH(bool, pasted);
        QFETCH(QString, kept);
        form->Text1.clear();
        if (pasted) {
            QApplication::clipboard()->setText(input);
            QTest::keyClick(&form->Text1, Qt::Key_V, Qt::ControlModifier);
        } else {
            for (int k = 1; k <= input.size(); ++k) {
                QTest::keyClick(&form->Text1, input[k - 1].toLatin1());
                QCOMPARE(form->Picture1.width(), BarcodeWidth(std::min(k, 23)));
            }
        }
        QCOMPARE(form->Text1.text(), kept);
        QTEST(ReadCode39(Drawn()).value(0), "read");
        // Cutting everything leaves a blank picture at the last width.
        form->Text1.selectAll();
        QTest::keyClick(&form->Text1, Qt::Key_X, Qt::ControlModifier);
        QImage blank(BarcodeWidth(kept.size()), 89, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QCOMPARE(Drawn(), blank);
    }

    // A right press with any modifier, Shift+F10 or the menu key on the picture
    // open the menu while there is text; keys open it centred on what the panel
    // shows of the picture, even when the picture runs past it. Alt+C, the
    // button's access key, copies from wherever the focus is while the button
    // is enabled. The window is active, so keys go through Qt's shortcuts.
    void gesturesOpenTheMenuOrCopy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");  // picture, text box, button, or disabled (the text box, button disabled)
        QTest::addColumn<int>("input");       // a mouse button (left, right, middle), else a Qt::Key
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("outcome");
        const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier), alt(Qt::AltModifier);
        const int right = Qt::RightButton, menu = Qt::Key_Menu, f10 = Qt::Key_F10, c = Qt::Key_C;
        const QString atPointer = "menu at the pointer", centred = "menu centred on the picture";
        QTest::newRow("01 right press") << "A" << "picture" << right << none << atPointer;
        QTest::newRow("02 right+shift") << "A" << "picture" << right << shift << atPointer;
        QTest::newRow("03 right+ctrl") << "A" << "picture" << right << ctrl << atPointer;
        QTest::newRow("04 right+alt") << "A" << "picture" << right << alt << atPointer;
        QTest::newRow("05 right, blank text") << " " << "picture" << right << none << atPointer;
        QTest::newRow("06 right, empty text") << "" << "picture" << right << none << "nothing";
        QTest::newRow("07 left press") << "A" << "picture" << int(Qt::LeftButton) << none << "nothing";
        QTest::newRow("08 middle press") << "A" << "picture" << int(Qt::MiddleButton) << none << "nothing";
        QTest::newRow("09 Shift+F10") << "A" << "picture" << f10 << shift << centred;
        QTest::newRow("10 Menu") << "A" << "picture" << menu << none << centred;
        QTest::newRow("11 Menu, longest text") << kLongest << "picture" << menu << none << centred;
        QTest::newRow("12 Menu, empty text") << "" << "picture" << menu << none << "nothing";
        QTest::newRow("13 F10 alone") << "A" << "picture" << f10 << none << "nothing";
        QTest::newRow("14 Menu in the text box") << "A" << "text box" << menu << none << "nothing";
        QTest::newRow("15 Alt+C in the text box") << "A" << "text box" << c << alt << "copied";
        QTest::newRow("16 Alt+C, button disabled") << "A" << "disabled" << c << alt << "nothing";
        QTest::newRow("17 C alone on the button") << "A" << "button" << c << none << "nothing";
    }
    void gesturesOpenTheMenuOrCopy() {
        QFETCH(QString, target);
        QFETCH(int, input);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, text);
        form->Text1.setText(text);
        form->xpcmdbutton1->Enabled(target != "disabled");
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QWidget* const focus = target == "picture" ? static_cast<QWidget*>(&form->Picture1)
                               : target == "button" ? static_cast<QWidget*>(form->xpcmdbutton1.get()) : &form->Text1;
        focus->setFocus();
        QApplication::clipboard()->setText("left over");
        const auto shown = MenuOpenedBy(form->mnuMenu, [&] {
            if (input > int(Qt::MiddleButton)) return QTest::keyClick(focus, Qt::Key(input), modifiers);
            QTest::mousePress(focus, Qt::MouseButton(input), modifiers, QPoint(20, 20));
            QTest::mouseRelease(focus, Qt::MouseButton(input), modifiers, QPoint(20, 20));
        });
        const QRect picture = form->Picture1.geometry().intersected(form->Picture2.geometry());
        const QString outcome = !shown                                                ? "nothing"
                                : *shown == form->mapToGlobal(picture.center()) ? "menu centred on the picture"
                                : *shown == QCursor::pos()                      ? "menu at the pointer"
                                                                                : "menu elsewhere";
        const bool copied = QApplication::clipboard()->mimeData()->hasImage();
        QTEST(copied ? "copied" : outcome, "outcome");
        if (copied) QCOMPARE(Copied(), Drawn());
    }

    // The text box turns red (204, 0, 0, the window's design) and names in its
    // tooltip each character that no Code 39 pattern carries, once; a screen
    // reader hears the same in the picture's description.
    void uncarriedCharactersAreMarked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("note");  // the tooltip and the text box's description
        QTest::addColumn<QString>("description");
        const QString note = "A scanner will not read these characters from the bars: ";
        QTest::newRow("01 all carried, lower case too")
            << "tally-12 $/+%." << "" << R"(Code 39 barcode of "TALLY-12 $/+%.")";
        QTest::newRow("02 no pattern, each named once")
            << "a#b@c#!" << note + "# @ !" << R"(Code 39 barcode of "A#B@C#!". )" + note + "# @ !";
        QTest::newRow("03 accented") << "CAFÉ é" << note + "É é" << R"(Code 39 barcode of "CAFÉ É". )" + note + "É é";
        QTest::newRow("04 outside the code page")
            << "Ж1😀" << note + "Ж 😀" << R"(Code 39 barcode of "Ж1😀". )" + note + "Ж 😀";
        QTest::newRow("05 the stop character inside")
            << "AB*CD" << note + "*" << R"(Code 39 barcode of "AB*CD". )" + note + "*";
        QTest::newRow("06 empty") << "" << "" << "Empty: type a text to draw its barcode";
    }
    void uncarriedCharactersAreMarked() {
        QFETCH(QString, text);
        QFETCH(QString, note);
        QFETCH(QString, description);
        form->Text1.setText(text);
        QCOMPARE(form->Text1.palette().color(QPalette::Text), note.isEmpty() ? QColor(Qt::black) : QColor(204, 0, 0));
        QCOMPARE(form->Text1.toolTip(), note);
        const struct { QObject* control; QAccessible::Role role; QString name, description; } heard[] = {
            {&form->Text1, QAccessible::EditableText, "Barcode text", note},
            {&form->Picture1, QAccessible::Graphic, "Barcode", description},
            {&form->Picture3, QAccessible::Link, "Open the web page", ""},
            {form->xpcmdbutton1.get(), QAccessible::Button, "Copy to Clipboard", ""}};
        for (const auto& [control, role, name, said] : heard) {
            QAccessibleInterface* heardOf = QAccessible::queryAccessibleInterface(control);
            QVERIFY(heardOf != nullptr);
            QCOMPARE(heardOf->role(), role);
            QCOMPARE(heardOf->text(QAccessible::Name), name);
            QCOMPARE(heardOf->text(QAccessible::Description), said);
        }
        form->Text1.setText("AB");
        QCOMPARE(form->Text1.palette().color(QPalette::Text), QColor(Qt::black));
    }

    // The labels as the window's design gives them: pixel sizes are its points
    // at 96 dots per inch (11.25 pt -> 15, 8.25 -> 11, 9.75 -> 13); a
    // self-sizing label fixes only its corner. Free faces stand in for the
    // design's families: an upright text box, and every text inside the box
    // the design gave it; the window's bottom edge hides all but Label2's first line.
    void labelsFollowTheirDesign() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(QFontInfo(form->Text1.font()).style(), QFont::StyleNormal);
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
            const QRect ink = InkOf(label, form->size());
            QVERIFY2(!ink.isEmpty() && label.bounds.intersected(form->rect().adjusted(0, 0, 0, -1)).contains(ink),
                     caption);
        }
        // The button's caption clears the skin's three-pixel borders with room on both sides.
        xpcmdbutton& button = *form->xpcmdbutton1;
        const QRect drawn = Difference(button.grab().toImage().convertToFormat(QImage::Format_RGB32),
                                       button.Image().Image().convertToFormat(QImage::Format_RGB32));
        QVERIFY2(drawn.left() > 3 && drawn.right() < button.width() - 4,
                 qPrintable(QString("caption from %1 to %2").arg(drawn.left()).arg(drawn.right())));
    }

    // Every way to copy puts the whole picture, and only it, on the clipboard.
    void everyCopyHoldsOnlyTheWholePicture() {
        form->Text1.setText(kLongest);
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(form->xpcmdbutton1.get());
        QCOMPARE(button->childCount(), 0);  // the caption is no second object
        const std::function<void()> copies[] = {
            [&] { form->CopyBarcode(); }, [&] { form->mnuCopy.trigger(); },
            [&] { QTest::mouseClick(form->xpcmdbutton1.get(), Qt::LeftButton, {}, QPoint(10, 10)); },
            [&] { button->actionInterface()->doAction(QAccessibleActionInterface::pressAction()); }};
        for (const auto& copy : copies) {
            QApplication::clipboard()->setText("left over");
            copy();
            QVERIFY(!QApplication::clipboard()->mimeData()->hasText());
            QCOMPARE(Copied(), Drawn());
        }
        QCOMPARE(ReadCode39(Copied()), QStringList{kLongest});
    }

    // The user is told what failed and why, word for word, in reports centred
    // on this window; a failed copy leaves the clipboard emptied.
    void failuresAreReported() {
        QCOMPARE(reporter.parent, form.get());
        QApplication::clipboard()->setText("left over");
        form->Picture1.Width(0);  // a picture of no width cannot be copied
        form->CopyBarcode();
        const QMimeData* left = QApplication::clipboard()->mimeData();
        QVERIFY(left == nullptr || left->formats().isEmpty());
        QTemporaryDir noPrograms;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", noPrograms.path().toLocal8Bit());
        QTest::mouseClick(&form->Picture3, Qt::LeftButton, {}, QPoint(10, 10));
        qputenv("PATH", path);
        QCOMPARE(reporter.reports,
                 (QStringList{"Copying the barcode to the clipboard: Run-time error 5: Invalid procedure call or argument",
                              "Opening the web page: Run-time error 53: File not found: xdg-open"}));
        form.reset();
        QCOMPARE(reporter.parent, nullptr);
    }

    // A print that fails is reported and leaves its loaded form to the next
    // print; the button and the menu each print one document of one page,
    // of the text as it is then, through a print form that is never shown.
    void everyPrintIsOneDocumentOfOnePage() {
        failing = true;
        form->PrintBarcode();
        const frmPrint* loaded = form->LoadedPrintForm();
        QVERIFY(loaded != nullptr && !loaded->isVisible());
        QCOMPARE(reporter.reports, QStringList{"Printing the barcode: Run-time error 482: There is no printer to print on"});
        failing = false;
        form->Text1.setText(kLongest);
        form->PrintBarcode();
        QCOMPARE(printingWith, loaded);
        QVERIFY(form->LoadedPrintForm() == nullptr);
        form->mnuPrint.trigger();
        QCOMPARE(reporter.reports.size(), 1);
        QVERIFY(hiddenWhilePrinting);
        QCOMPARE(printed, 2);
        for (int number : {1, 2}) QCOMPARE(ReadPages(PdfPath(number)), QList<QStringList>{{kLongest}});
    }
};

QTEST_MAIN(TestFrmBarCode)
#include "tst_frmbarcode.moc"
