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
    void Report(const QString& action, const QString& reason) noexcept override {
        actions.append(action);
        reasons.append(reason);
    }
    void Parent(QWidget* window) noexcept override { parent = window; }
    QStringList actions, reasons;
    QWidget* parent = nullptr;
};

// The smallest rectangle holding every pixel where two pictures of one size differ.
QRect Difference(const QImage& a, const QImage& b) {
    QRect ink;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) ink |= QRect(x, y, 1, 1);
        }
    }
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
    void Activate() {
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    QString PdfPath(int number) const { return folder.filePath(QString("print-%1.pdf").arg(number)); }
    QImage Drawn() const { return form->Picture1.Image().Image().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init() {
        reporter.actions.clear();
        reporter.reasons.clear();
        printed = 0;
        failing = false;
        form.reset();
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
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
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
        const auto shown = MenuOpenedBy(form->mnuMenu, [&] {
            QTest::mousePress(&form->Picture1, button, modifiers, QPoint(20, 20));
            QTest::mouseRelease(&form->Picture1, button, modifiers, QPoint(20, 20));
        });
        QCOMPARE(shown.has_value(), opens);
    }

    // The keyboard's menu keys open the same menu on the part of the picture
    // that shows, under the same rule; the window is active, so keys go
    // through Qt's shortcuts as typed keys do.
    void menuKeysOnThePictureOpenTheMenu_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("onPicture");
        QTest::addColumn<bool>("opens");
        QTest::newRow("Shift+F10") << "A" << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << true;
        QTest::newRow("Menu") << "A" << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << true << true;
        QTest::newRow("Menu, longest text") << kLongest << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << true << true;
        QTest::newRow("Menu, empty text") << "" << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << true << false;
        QTest::newRow("F10 alone") << "A" << int(Qt::Key_F10) << Qt::KeyboardModifiers() << true << false;
        QTest::newRow("Menu in the text box") << "A" << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << false << false;
    }
    void menuKeysOnThePictureOpenTheMenu() {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, onPicture);
        QFETCH(bool, opens);
        form->Text1.setText(text);
        Activate();
        QWidget& focus = onPicture ? static_cast<QWidget&>(form->Picture1) : form->Text1;
        focus.setFocus();
        const auto shown = MenuOpenedBy(form->mnuMenu, [&] { QTest::keyClick(&focus, Qt::Key(key), modifiers); });
        QCOMPARE(shown.has_value(), opens);
        // Centred on what the panel shows of the picture, even when the picture runs past it.
        const QRect picture = form->Picture1.geometry().intersected(form->Picture2.geometry());
        if (opens) QCOMPARE(*shown, form->mapToGlobal(picture.center()));
    }

    // Alt+C is the button's access key: it copies from wherever the focus is,
    // a text box's included, while the button is enabled. (Space and Enter on
    // the button stay plain keys: the button's own tests.)
    void accessKeyCopies_data() {
        QTest::addColumn<bool>("onButton");  // else in the text box
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("copies");
        QTest::newRow("Alt+C") << false << Qt::KeyboardModifiers(Qt::AltModifier) << true << true;
        QTest::newRow("Alt+C, button disabled") << false << Qt::KeyboardModifiers(Qt::AltModifier) << false << false;
        QTest::newRow("C alone on the button") << true << Qt::KeyboardModifiers() << true << false;
    }
    void accessKeyCopies() {
        QFETCH(bool, onButton);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, enabled);
        QFETCH(bool, copies);
        form->xpcmdbutton1->Enabled(enabled);
        Activate();
        QWidget* const focused = onButton ? static_cast<QWidget*>(form->xpcmdbutton1.get()) : &form->Text1;
        focused->setFocus();
        QApplication::clipboard()->setText("left over");
        QTest::keyClick(focused, Qt::Key_C, modifiers);
        QCOMPARE(QApplication::clipboard()->mimeData()->hasImage(), copies);
        if (copies) QCOMPARE(Copied(), Drawn());
    }

    // What a screen reader hears of each control; the picture's description
    // follows the text and names what the bars leave out.
    void screenReadersHearEveryControl_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("note");  // also the text box's tooltip
        QTest::addColumn<QString>("description");
        const QString note = "A scanner will not read these characters from the bars: # *";
        QTest::newRow("carried") << "tally-2026" << "" << R"(Code 39 barcode of "TALLY-2026")";
        QTest::newRow("uncarried") << "a#b*" << note << R"(Code 39 barcode of "A#B*". )" + note;
        QTest::newRow("empty") << "" << "" << "Empty: type a text to draw its barcode";
    }
    void screenReadersHearEveryControl() {
        QFETCH(QString, text);
        QFETCH(QString, note);
        QFETCH(QString, description);
        form->Text1.setText(text);
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
        // The button is one object, its caption no second one, and pressing it copies.
        QAccessibleInterface* button = QAccessible::queryAccessibleInterface(form->xpcmdbutton1.get());
        QCOMPARE(button->childCount(), 0);
        QApplication::clipboard()->clear();
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(Copied(), Drawn());
    }

    // Free faces stand in for the design's families: an upright text box, and
    // every text inside the box the design gave it.
    void designTextsFitTheirBoxes() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(QFontInfo(form->Text1.font()).style(), QFont::StyleNormal);
        // The caption clears the skin's three-pixel borders with room on both sides.
        xpcmdbutton& button = *form->xpcmdbutton1;
        const QRect caption = Difference(button.grab().toImage().convertToFormat(QImage::Format_RGB32),
                                         button.Image().Image().convertToFormat(QImage::Format_RGB32));
        QVERIFY2(caption.left() > 3 && caption.right() < button.width() - 4,
                 qPrintable(QString("caption from %1 to %2").arg(caption.left()).arg(caption.right())));
        // The window's bottom edge hides all but the first line of Label2.
        const QRect shown(QPoint(), form->size());
        for (const DesignLabel* label : {&form->Label1, &form->Label2, &form->Label3}) {
            const QRect ink = InkOf(*label, form->size());
            const QRect box = label->bounds.intersected(shown.adjusted(0, 0, 0, -1));
            QVERIFY2(!ink.isEmpty() && box.contains(ink), qPrintable(label->caption));
        }
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

    // Copy fails on a picture of no width: the clipboard stays emptied and the
    // user is told what failed and why; the reports are centred on this window.
    void copyFailureIsReported() {
        QCOMPARE(reporter.parent, form.get());
        QApplication::clipboard()->setText("left over");
        form->Picture1.Width(0);
        form->CopyBarcode();
        QCOMPARE(reporter.actions, QStringList{"Copying the barcode to the clipboard"});
        QCOMPARE(reporter.reasons, QStringList{"Run-time error 5: Invalid procedure call or argument"});
        const QMimeData* left = QApplication::clipboard()->mimeData();
        QVERIFY(left == nullptr || left->formats().isEmpty());
        form.reset();
        QCOMPARE(reporter.parent, nullptr);
    }

    void shellFailureIsReported() {
        QTemporaryDir noPrograms;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", noPrograms.path().toLocal8Bit());
        QTest::mouseClick(&form->Picture3, Qt::LeftButton, {}, QPoint(10, 10));
        qputenv("PATH", path);
        QCOMPARE(reporter.actions, QStringList{"Opening the web page"});
        QCOMPARE(reporter.reasons, QStringList{"Run-time error 53: File not found: xdg-open"});
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
