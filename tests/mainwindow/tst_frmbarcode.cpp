#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "design/Colours.h"
#include "mainwindow/HelpPage.h"
#include "mainwindow/frmBarCode.h"
#include "platform/picture/QtColour.h"
#include "tests/support/Code39Reader.h"
#include "tests/support/RecordingReporter.h"

using namespace tallyline;

namespace {

const QString kLongest = "CODE 39 TALLY-LINE/2026";  // 23 characters, wider than the window

// Code 39 (ISO/IEC 16388) at a module of 2 pixels, what an 89-pixel picture gets: 13 modules a character (6 narrow +
// 3 wide of 2 + a 1-module gap), the same for * at each end, plus a module of margin a side: 2 * (13n + 26 + 2).
int BarcodeWidth(int characters) { return 26 * characters + 56; }

struct ShownMenu {
    QPoint place;
    QString chosen;  // the item chosen as it opened, or empty
};

// Runs `action`, which may open the window's menu, and closes the menu if it opened: where it showed and what it had
// chosen, or nothing. The open menu runs its own event loop, where a timer sees it.
std::optional<ShownMenu> MenuOpenedBy(QMenu& menu, const std::function<void()>& action) {
    std::optional<ShownMenu> shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QApplication::activePopupWidget() == &menu) {
            shown = ShownMenu{menu.pos(), menu.activeAction() ? menu.activeAction()->text() : QString()};
        }
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
    int printed = 0, dotsPerInch = 0;  // 0: the printer's own
    bool failing = false, hiddenWhilePrinting = true;
    const frmPrint* printingWith = nullptr;
    RecordingReporter reporter;
    std::unique_ptr<frmBarCode> form;

    // Asked for once the print form holds the picture: the next numbered PDF file, or none while failing.
    std::unique_ptr<QPrinter> NextPdf() {
        printingWith = form->LoadedPrintForm();
        hiddenWhilePrinting = hiddenWhilePrinting && printingWith && !printingWith->isVisible();
        if (failing) return nullptr;
        auto printer = PdfPrinter(PdfPath(++printed));
        if (dotsPerInch > 0) printer->setResolution(dotsPerInch);
        return printer;
    }
    QString PdfPath(int number) const { return folder.filePath(QString("print-%1.pdf").arg(number)); }
    QImage Drawn() const { return form->Picture1.Image().Image().convertToFormat(QImage::Format_RGB32); }

private slots:
    // The file dialog and the window keep what they remember in a folder of the test's own.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath("config"))); }

    void init() {
        reporter.reports.clear();
        printed = dotsPerInch = 0;
        failing = false;
        form.reset();
        form = std::make_unique<frmBarCode>(reporter, [this] { return NextPdf(); });
    }

    // The text box holds 23 characters, however they come (the window's design); Code 39 carries upper case only.
    void everyKeystrokeRedraws_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("kept");
        const QString tooLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        QTest::newRow("01 lower case is kept, drawn upper-cased") << "code 39-x" << false << "code 39-x";
        QTest::newRow("02 typing stops at 23") << tooLong << false << tooLong.left(23);
        QTest::newRow("03 pasting stops at 23") << tooLong << true << tooLong.left(23);
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
        QCOMPARE(ReadCode39(Drawn()), QStringList{kept.toUpper()});
        // Cutting everything leaves a blank picture at the last width.
        form->Text1.selectAll();
        QTest::keyClick(&form->Text1, Qt::Key_X, Qt::ControlModifier);
        QImage blank(BarcodeWidth(kept.size()), 89, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QCOMPARE(Drawn(), blank);
    }

    // A right press with any modifier, Shift+F10 or the menu key on the picture open the menu while there is text;
    // keys open it centred on what the panel shows of the picture, even when the picture runs past it, with its first
    // item chosen, so that Return copies at once. Alt+C, the button's access key, copies from wherever the focus is
    // while the button is enabled. The window is active, so keys go through Qt's shortcuts.
    void gesturesOpenTheMenuOrCopy_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("target");  // picture, text box, button, or disabled (the text box, button disabled)
        QTest::addColumn<int>("input");       // a mouse button (left or right), else a Qt::Key
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("chosen");  // the menu's item chosen as it opened
        const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier), alt(Qt::AltModifier);
        const int right = Qt::RightButton, menu = Qt::Key_Menu, c = Qt::Key_C;
        const QString atPointer = "menu at the pointer", centred = "menu centred on the picture";
        const QString copy = "Copy to Clipboard", no;
        QTest::newRow("01 right press") << "A"
                                        << "picture" << right << none << atPointer << no;
        QTest::newRow("02 right+shift+ctrl+alt") << "A"
                                                 << "picture" << right << (shift | ctrl | alt) << atPointer << no;
        QTest::newRow("03 right, empty text") << ""
                                              << "picture" << right << none << "nothing" << no;
        QTest::newRow("04 left press") << "A"
                                       << "picture" << int(Qt::LeftButton) << none << "nothing" << no;
        QTest::newRow("05 Menu, longest text") << kLongest << "picture" << menu << none << centred << copy;
        QTest::newRow("06 Menu, empty text") << ""
                                             << "picture" << menu << none << "nothing" << no;
        QTest::newRow("07 F10 alone") << "A"
                                      << "picture" << int(Qt::Key_F10) << none << "nothing" << no;
        QTest::newRow("08 Menu in the text box") << "A"
                                                 << "text box" << menu << none << "nothing" << no;
        QTest::newRow("09 Alt+C in the text box") << "A"
                                                  << "text box" << c << alt << "copied" << no;
        QTest::newRow("10 Alt+C, button disabled") << "A"
                                                   << "disabled" << c << alt << "nothing" << no;
        QTest::newRow("11 C alone on the button") << "A"
                                                  << "button" << c << none << "nothing" << no;
        QTest::newRow("12 Shift+F10") << "A"
                                      << "picture" << int(Qt::Key_F10) << shift << centred << copy;
        QTest::newRow("13 right press after Shift+F10") << "A"
                                                        << "after keys" << right << none << atPointer << no;
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
        const bool onPicture = target == "picture" || target == "after keys";
        QWidget* const focus = onPicture            ? static_cast<QWidget*>(&form->Picture1)
                               : target == "button" ? static_cast<QWidget*>(form->xpcmdbutton1.get())
                                                    : &form->Text1;
        focus->setFocus();
        if (target == "after keys") {
            QVERIFY(MenuOpenedBy(form->mnuMenu, [&] { QTest::keyClick(focus, Qt::Key_Menu); }));
        }
        QApplication::clipboard()->setText("left over");
        const auto shown = MenuOpenedBy(form->mnuMenu, [&] {
            if (input > int(Qt::MiddleButton)) return QTest::keyClick(focus, Qt::Key(input), modifiers);
            QTest::mousePress(focus, Qt::MouseButton(input), modifiers, QPoint(20, 20));
            QTest::mouseRelease(focus, Qt::MouseButton(input), modifiers, QPoint(20, 20));
        });
        const QRect picture = form->Picture1.geometry().intersected(form->Picture2.geometry());
        const QString outcome = !shown                                                ? "nothing"
                                : shown->place == form->mapToGlobal(picture.center()) ? "menu centred on the picture"
                                : shown->place == QCursor::pos()                      ? "menu at the pointer"
                                                                                      : "menu elsewhere";
        QTEST(shown ? shown->chosen : QString(), "chosen");
        // A copy holds the whole picture and no text.
        const QMimeData* copy = QApplication::clipboard()->mimeData();
        const bool copied = copy->hasImage() && !copy->hasText() &&
                            QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32) == Drawn();
        QTEST(copied ? "copied" : outcome, "outcome");
    }

    // Tab takes the focus from the text box to each stop in turn, which a screen reader hears named and which shows a
    // dotted mark one pixel inside what it shows: inside the panel's frame, inside the button's border and inner
    // frame. The mark is on screen only: the pictures that are kept, copied and saved are those drawn without it, and
    // it goes with the focus.
    void eachTabStopShowsItsFocus_data() {
        QTest::addColumn<int>("tabs");   // from the text box
        QTest::addColumn<int>("inset");  // of the mark, from the widget's edge
        QTest::newRow("01 Picture1, the barcode") << 1 << 1;
        QTest::newRow("02 Picture2, the panel") << 2 << 3;
        QTest::newRow("03 Picture3, the logo") << 3 << 1;
        QTest::newRow("04 xpcmdbutton1") << 4 << 4;
    }
    void eachTabStopShowsItsFocus() {
        QFETCH(int, tabs);
        QFETCH(int, inset);
        QWidget* const stops[] = {&form->Picture1, &form->Picture2, &form->Picture3, form->xpcmdbutton1.get()};
        QWidget* const stop = stops[tabs - 1];
        const auto kept = [this] {
            return QList<QImage>{Drawn(), form->xpcmdbutton1->Image().Image(), form->Picture3.Picture().toImage()};
        };
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const QImage unfocused = stop->grab().toImage();
        const QList<QImage> keptUnfocused = kept();
        for (int tab = 0; tab < tabs; ++tab) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), stop);
        QVERIFY(!QAccessible::queryAccessibleInterface(stop)->text(QAccessible::Name).isEmpty());

        const QRect mark = stop->rect().adjusted(inset, inset, -inset, -inset);
        const QImage focused = stop->grab().toImage();
        QList<QPoint> marked;
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x)
                if (focused.pixel(x, y) != unfocused.pixel(x, y)) marked << QPoint(x, y);
        for (const QPoint& p : marked) {
            QVERIFY2(mark.contains(p) && (p.x() == mark.left() || p.x() == mark.right() || p.y() == mark.top() ||
                                          p.y() == mark.bottom()),
                     qPrintable(QString("(%1, %2) is off the mark").arg(p.x()).arg(p.y())));
        }
        // Dotted: about every other pixel of the mark's outline.
        QVERIFY2(marked.size() >= mark.width() + mark.height() - 4, qPrintable(QString::number(marked.size())));

        QVERIFY(kept() == keptUnfocused);
        form->CopyBarcode();
        QCOMPARE(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), keptUnfocused.first());
        form->Text1.setFocus();
        QCOMPARE(stop->grab().toImage(), unfocused);
    }

    // The text box turns red (204, 0, 0, the window's design) and names in its tooltip and to a screen reader each
    // character that no Code 39 pattern carries, once, a control character by its picture; the picture's description
    // says what its bars carry, of the text upper-cased.
    void uncarriedCharactersAreMarked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("note");  // the tooltip
        QTest::addColumn<QString>("description");
        QTest::newRow("01 all carried, lower case too") << "tally-12 $/+%."
                                                        << ""
                                                        << R"(Code 39 barcode of "TALLY-12 $/+%.")";
        QTest::newRow("02 no pattern, each named once") << "a#b@c#!"
                                                        << "#, @ and ! have no bars and are left out of the barcode"
                                                        << R"(Code 39 barcode of "A#B@C#!": its bars carry only "ABC")";
        QTest::newRow("03 accented, and outside the code page")
            << "CAFÉ é Ж1😀"
            << "É, é, Ж and 😀 have no bars and are left out of the barcode"
            << R"(Code 39 barcode of "CAFÉ É Ж1😀": its bars carry only "CAF  1")";
        QTest::newRow("04 a tab") << "A\tB"
                                  << "\u2409 has no bars and is left out of the barcode"
                                  << "Code 39 barcode of \"A\tB\": its bars carry only \"AB\"";
        QTest::newRow("05 empty") << ""
                                  << ""
                                  << "Empty: type a text to draw its barcode";
    }
    void uncarriedCharactersAreMarked() {
        QFETCH(QString, text);
        QFETCH(QString, note);
        form->Text1.setText(text);
        QCOMPARE(form->Text1.palette().color(QPalette::Text), note.isEmpty() ? QColor(Qt::black) : QColor(204, 0, 0));
        QCOMPARE(form->Text1.toolTip(), note);
        QCOMPARE(QAccessible::queryAccessibleInterface(&form->Text1)->text(QAccessible::Description), note);
        QTEST(QAccessible::queryAccessibleInterface(&form->Picture1)->text(QAccessible::Description), "description");
        form->Text1.setText("AB");
        QCOMPARE(form->Text1.palette().color(QPalette::Text), QColor(Qt::black));
    }

    // A key that the full text box refuses is named, beside the characters
    // without bars, until the text is shorter again.
    void refusedForLengthIsNamed() {
        const QString limit = "The text holds at most 23 characters: what was typed past them was left out";
        form->Text1.setText('#' + QString(22, u'A'));
        QTest::keyClick(&form->Text1, Qt::Key_B);
        QCOMPARE(form->Text1.toolTip(), "# has no bars and is left out of the barcode\n" + limit);
        QTest::keyClick(&form->Text1, Qt::Key_Backspace);
        QCOMPARE(form->Text1.toolTip(), "# has no bars and is left out of the barcode");
    }

    // The window is made with its own face as the toolkit's default, which must not outlast its making: menus, tooltips
    // and messages keep the desktop's.
    void theToolkitsFontIsKept() {
        const QFont toolkit = QApplication::font();
        const frmBarCode another(reporter, [] { return std::unique_ptr<QPrinter>(); });
        QCOMPARE(QApplication::font(), toolkit);
        QCOMPARE(another.mnuMenu.font(), toolkit);
    }

    // The user is told what failed and why, word for word, in reports centred on this window while it lives; a failed
    // copy leaves the clipboard emptied.
    void failuresAreReported() {
        QCOMPARE(reporter.parent, form.get());
        QApplication::clipboard()->setText("left over");
        form->Picture1.Width(0);  // a picture of no width cannot be copied
        form->CopyBarcode();
        const QMimeData* left = QApplication::clipboard()->mimeData();
        QVERIFY(left == nullptr || left->formats().isEmpty());
        // The offscreen platform opens no addresses, as a desktop without a browser.
        QTest::mouseClick(&form->Picture3, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(reporter.reports,
                 (QStringList{"Copying the barcode to the clipboard: Invalid procedure call or argument",
                              "Opening the help page: Nothing opens " + HelpPage().toString()}));
        form.reset();
        QCOMPARE(reporter.parent, nullptr);
    }

    // A print that fails is reported and leaves its loaded form to the next print, which prints through it, never
    // shown, and unloads it.
    void aFailedPrintLeavesItsFormToTheNext() {
        failing = true;
        form->PrintBarcode();
        const frmPrint* loaded = form->LoadedPrintForm();
        QVERIFY(loaded != nullptr && !loaded->isVisible());
        QCOMPARE(reporter.reports, QStringList{"Printing the barcode: There is no printer to print on"});
        failing = false;
        form->mnuPrint.trigger();
        QCOMPARE(printingWith, loaded);
        QVERIFY(form->LoadedPrintForm() == nullptr && hiddenWhilePrinting);
        QCOMPARE(reporter.reports.size(), 1);
        QCOMPARE(printed, 1);
        QVERIFY(QFileInfo(PdfPath(1)).size() > 0);
    }
    // The window's print where the screen's pixels fall between printer dots, each page rasterised at its printer's
    // resolution as a printer's raster processor would (smoothed); 300 dpi is the end-to-end print test's. The
    // 2-pixel module in the nearest whole dots: 2 * 150 / 96 = 3.125 -> 3, 2 * 180 / 96 = 3.75 -> 4 (not 3), 2 * 360
    // / 96 = 7.5 -> 8 (a tie to the even). At 150 dpi the picture sits 8 pixels, 12.5 dots, across the form: its
    // corner on a whole dot keeps every edge on a dot's edge, where half a dot off would grey a dot at each edge.
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
        const QString pdf = PdfPath(1);
        dotsPerInch = dpi;
        form->Text1.setText(text);
        form->PrintBarcode();
        QVERIFY2(reporter.reports.isEmpty(), qPrintable(reporter.reports.join('\n')));

        const QString png = folder.filePath(QString("page-%1").arg(dpi));
        QCOMPARE(QProcess::execute("pdftoppm", {"-r", QString::number(dpi), "-singlefile", "-png", pdf, png}), 0);
        const QImage page = QImage(png + ".png").convertToFormat(QImage::Format_Grayscale8);
        QCOMPARE(ReadCode39(page), QStringList{text});
        // Across the bars, the row with the most ink: every dot black or white, every bar and space one module or
        // two.
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
        for (const auto& run :
             element.globalMatch(row.mid(row.indexOf('#'), row.lastIndexOf('#') - row.indexOf('#') + 1)))
            widths << run.capturedLength();
        QCOMPARE(widths, (QSet<int>{module, 2 * module}));
    }
};

QTEST_MAIN(TestFrmBarCode)
#include "tst_frmbarcode.moc"
