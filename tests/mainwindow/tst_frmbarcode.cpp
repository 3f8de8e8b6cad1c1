#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "Code39Reader.h"
#include "QtColour.h"
#include "RecordingReporter.h"
#include "frmBarCode.h"

using namespace tallyline;

namespace {

constexpr int kPicture1Height = 89;
// At 89 pixels the module is 2 pixels: 13 modules a character, start and
// stop included, plus a module of margin on each side.
int BarcodeWidth(int characters) { return 26 * characters + 56; }
int Pixels(double points) { return qRound(points * 96 / 72); }

std::unique_ptr<QPrinter> NoPrinter() { return nullptr; }

}  // namespace

class TestFrmBarCode : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingReporter> reporter;
    std::unique_ptr<frmBarCode> form;

    // Presses a button on Picture1; true when the pop-up menu opened.
    bool PressOpensMenu(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
        bool opened = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (QApplication::activePopupWidget() == &form->mnuMenu) {
                opened = true;
                form->mnuMenu.close();
            }
        });
        closer.start(10);
        QTest::mousePress(&form->Picture1, button, modifiers, QPoint(20, 20));
        QTest::mouseRelease(&form->Picture1, button, modifiers, QPoint(20, 20));
        return opened;
    }

private slots:
    void init() {
        reporter = std::make_unique<RecordingReporter>();
        form = std::make_unique<frmBarCode>(*reporter, NoPrinter);
    }
    void cleanup() { form.reset(); }

    void windowAndControlsStandWhereDesigned() {
        // Picture1's width is the sample barcode's; its place and height are designed.
        const std::pair<QWidget*, QRect> designed[] = {
            {form.get(), QRect(10, 117, 519, 213)},
            {&form->Text1, QRect(160, 8, 249, 28)},
            {&form->Picture2, QRect(2, 40, 513, 113)},
            {&form->Picture3, QRect(92, 171, 249, 22)},
            {form->xpcmdbutton1.get(), QRect(384, 168, 97, 33)},
            {&form->Picture1, QRect(8, 48, BarcodeWidth(10), kPicture1Height)}};
        for (const auto& [widget, geometry] : designed) QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(form->childAt(20, 60), &form->Picture1);
        QCOMPARE(form->childAt(500, 60), &form->Picture2);
    }

    void windowCannotBeResized() {
        QCOMPARE(form->windowTitle(), QString(" Tallyline"));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void labelsTakeTheirDesign_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QColor>("foreColor");
        QTest::newRow("Label1") << 0 << QRect(48, 11, 0, 0) << Pixels(11.25) << 400 << QColor(Qt::black);
        QTest::newRow("Label2") << 1 << QRect(88, 194, 257, 49) << Pixels(8.25) << 400 << QColor(128, 128, 128);
        QTest::newRow("Label3") << 2 << QRect(96, 155, 0, 0) << Pixels(9.75) << 700 << QColor(128, 128, 128);
    }
    void labelsTakeTheirDesign() {
        QFETCH(int, index);
        QFETCH(QRect, area);
        QFETCH(int, pixelSize);
        QFETCH(int, weight);
        QFETCH(QColor, foreColor);
        const DesignLabel* labels[] = {&form->Label1, &form->Label2, &form->Label3};
        const DesignLabel& label = *labels[index];
        // Labels that size themselves are compared by their corner only.
        QCOMPARE(label.Area().topLeft(), area.topLeft());
        if (!area.isEmpty()) QCOMPARE(label.Area(), area);
        QCOMPARE(label.font.pixelSize(), pixelSize);
        QCOMPARE(static_cast<int>(label.font.weight()), weight);
        QCOMPARE(ToQColor(label.foreColor), foreColor);
    }

    void tabGoesThroughTheControlsInDesignOrder() {
        QList<QWidget*> order;
        QWidget* widget = &form->Text1;
        do {
            if (widget->focusPolicy() & Qt::TabFocus) order.append(widget);
            widget = widget->nextInFocusChain();
        } while (widget != &form->Text1);
        const QList<QWidget*> expected{&form->Text1, &form->Picture1, &form->Picture2, &form->Picture3,
                                       form->xpcmdbutton1.get()};
        QCOMPARE(order, expected);
        QCOMPARE(form->focusWidget(), &form->Text1);
    }

    void menuIsHiddenUntilAsked() {
        const QList<QAction*> actions = form->mnuMenu.actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QString("Copy to Clipboard"));
        QCOMPARE(actions[1]->text(), QString("Print"));
        QVERIFY(!form->mnuMenu.isVisible());
    }

    void startShowsTheSampleBarcode() {
        QCOMPARE(ReadCode39(form->Picture1.Image().Image()), QStringList{form->Text1.text()});
    }

    void everyKeystrokeRedraws() {
        form->Text1.clear();
        const QString typed = "code 39-x";
        for (int k = 1; k <= typed.size(); ++k) {
            QTest::keyClick(&form->Text1, typed[k - 1].toLatin1());
            QCOMPARE(form->Picture1.width(), BarcodeWidth(k));
        }
        QCOMPARE(form->Text1.text(), typed);
        QCOMPARE(ReadCode39(form->Picture1.Image().Image()), QStringList{typed.toUpper()});
        QTest::keyClick(&form->Text1, Qt::Key_Backspace);
        QCOMPARE(form->Picture1.width(), BarcodeWidth(typed.size() - 1));
    }

    void textStopsAt23Characters_data() {
        QTest::addColumn<bool>("paste");
        QTest::newRow("typed") << false;
        QTest::newRow("pasted") << true;
    }
    void textStopsAt23Characters() {
        QFETCH(bool, paste);
        const QString longText = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
        form->Text1.clear();
        if (paste) {
            QApplication::clipboard()->setText(longText);
            QTest::keyClick(&form->Text1, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(&form->Text1, longText);
        }
        QCOMPARE(form->Text1.text(), longText.left(23));
        QCOMPARE(form->Picture1.width(), BarcodeWidth(23));
        QCOMPARE(ReadCode39(form->Picture1.Image().Image()), QStringList{longText.left(23)});
    }

    void cuttingEverythingClearsThePicture() {
        const int width = form->Picture1.width();
        form->Text1.selectAll();
        QTest::keyClick(&form->Text1, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(form->Text1.text().isEmpty());
        QCOMPARE(form->Picture1.width(), width);
        QImage blank(width, kPicture1Height, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QCOMPARE(form->Picture1.Image().Image().convertToFormat(QImage::Format_RGB32), blank);
    }

    void rightPressOpensTheMenu_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("opens");
        const Qt::KeyboardModifiers none;
        QTest::newRow("right") << "A" << Qt::RightButton << none << true;
        QTest::newRow("right+shift") << "A" << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
        QTest::newRow("right+ctrl") << "A" << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
        QTest::newRow("right+alt") << "A" << Qt::RightButton << Qt::KeyboardModifiers(Qt::AltModifier) << true;
        QTest::newRow("right+all") << "A" << Qt::RightButton
                                   << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier) << true;
        QTest::newRow("left") << "A" << Qt::LeftButton << none << false;
        QTest::newRow("middle") << "A" << Qt::MiddleButton << none << false;
        QTest::newRow("right, empty text") << "" << Qt::RightButton << none << false;
        QTest::newRow("right, blank text") << " " << Qt::RightButton << none << true;
    }
    void rightPressOpensTheMenu() {
        QFETCH(QString, text);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, opens);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->Text1.setText(text);
        QCOMPARE(PressOpensMenu(button, modifiers), opens);
    }

    void uncarriedCharactersAreMarked_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("uncarried");
        QTest::newRow("ordinary") << "AB-12 $/+%." << "";
        QTest::newRow("lower case") << "tally" << "";
        QTest::newRow("no pattern") << "A#B@C#" << "# @";
        QTest::newRow("punctuation") << "HI!,?" << "! , ?";
        QTest::newRow("accented") << "CAFÉ é" << "É é";
        QTest::newRow("outside the code page") << QString::fromUtf8("Ж1😀") << QString::fromUtf8("Ж 😀");
        QTest::newRow("stop character inside") << "AB*CD" << "*";
    }
    void uncarriedCharactersAreMarked() {
        QFETCH(QString, text);
        QFETCH(QString, uncarried);
        form->Text1.setText(text);
        const QColor colour = form->Text1.palette().color(QPalette::Text);
        if (uncarried.isEmpty()) {
            QCOMPARE(colour, QColor(Qt::black));
            QVERIFY(form->Text1.toolTip().isEmpty());
        } else {
            QVERIFY(colour != QColor(Qt::black));
            QVERIFY2(form->Text1.toolTip().endsWith(": " + uncarried), qPrintable(form->Text1.toolTip()));
        }
        // Typing goes on; the text is kept as typed.
        QCOMPARE(form->Text1.text(), text);
        form->Text1.setText("AB");
        QCOMPARE(form->Text1.palette().color(QPalette::Text), QColor(Qt::black));
    }

    void logoWithoutABrowserReportsIt() {
        QTemporaryDir empty;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", empty.path().toLocal8Bit());
        QTest::mouseClick(&form->Picture3, Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(reporter->actions, QStringList{"Opening the web page"});
        QVERIFY(reporter->reasons[0].startsWith("Run-time error 53"));
    }
};

QTEST_MAIN(TestFrmBarCode)
#include "tst_frmbarcode.moc"
