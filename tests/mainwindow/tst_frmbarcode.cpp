#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
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

bool IsBlank(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (rgb.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

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

    void windowTakesItsDesign() {
        QCOMPARE(form->windowTitle(), QString(" Tallyline"));
        QCOMPARE(form->geometry(), QRect(10, 117, 519, 213));
        QCOMPARE(form->minimumSize(), QSize(519, 213));
        QCOMPARE(form->maximumSize(), QSize(519, 213));
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->palette().color(QPalette::Window), QColor(212, 208, 200));
        QCOMPARE(form->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
        QCOMPARE(form->font().pixelSize(), Pixels(8.25));
    }

    void controlsStandWhereDesigned_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Text1") << "Text1" << QRect(160, 8, 249, 28);
        QTest::newRow("Picture2") << "Picture2" << QRect(2, 40, 513, 113);
        QTest::newRow("Picture3") << "Picture3" << QRect(92, 171, 249, 22);
        // Picture1's width is the sample barcode's; its place and height are designed.
        QTest::newRow("Picture1") << "Picture1" << QRect(8, 48, BarcodeWidth(10), kPicture1Height);
    }
    void controlsStandWhereDesigned() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        const QHash<QString, QWidget*> controls{{"Text1", &form->Text1},
                                               {"Picture1", &form->Picture1},
                                               {"Picture2", &form->Picture2},
                                               {"Picture3", &form->Picture3}};
        QCOMPARE(controls.value(name)->geometry(), geometry);
    }

    void labelsTakeTheirDesign_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QColor>("foreColor");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("Label1") << 1 << "BarCode Text :" << QPoint(48, 11) << "Arial" << Pixels(11.25)
                                << 400 << QColor(Qt::black) << false;
        QTest::newRow("Label2") << 2 << QString() << QPoint(88, 194) << "MS Sans Serif" << Pixels(8.25)
                                << 400 << QColor(128, 128, 128) << true;
        QTest::newRow("Label3") << 3 << "Right-Click to Copy to Clipboard" << QPoint(96, 155)
                                << "MS Sans Serif" << Pixels(9.75) << 700 << QColor(128, 128, 128) << false;
    }
    void labelsTakeTheirDesign() {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QPoint, topLeft);
        QFETCH(QString, family);
        QFETCH(int, pixelSize);
        QFETCH(int, weight);
        QFETCH(QColor, foreColor);
        QFETCH(bool, transparent);
        const DesignLabel* labels[] = {nullptr, &form->Label1, &form->Label2, &form->Label3};
        const DesignLabel& label = *labels[index];
        if (!caption.isEmpty()) QCOMPARE(label.caption, caption);
        QCOMPARE(label.Area().topLeft(), topLeft);
        QCOMPARE(label.font.family(), family);
        QCOMPARE(label.font.pixelSize(), pixelSize);
        QCOMPARE(static_cast<int>(label.font.weight()), weight);
        QCOMPARE(ToQColor(label.foreColor), foreColor);
        QCOMPARE(!label.backColor.has_value(), transparent);
    }

    void label2ReachesPastTheBottom() {
        QCOMPARE(form->Label2.Area(), QRect(88, 194, 257, 49));
        QVERIFY(form->Label2.Area().bottom() > form->rect().bottom());
    }

    void text1TakesItsDesign() {
        QCOMPARE(form->Text1.text().size(), 10);
        QCOMPARE(form->Text1.maxLength(), 23);
        QCOMPARE(form->Text1.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(form->Text1.font().family(), QString("Comic Sans MS"));
        QCOMPARE(form->Text1.font().pixelSize(), Pixels(11.25));
        QCOMPARE(form->Text1.font().weight(), QFont::Normal);
        QCOMPARE(form->Text1.palette().color(QPalette::Text), QColor(Qt::black));
        QVERIFY(form->Text1.toolTip().isEmpty());
    }

    void tabGoesThroughTheControlsInDesignOrder() {
        QList<QWidget*> order;
        QWidget* widget = &form->Text1;
        do {
            if (widget->focusPolicy() & Qt::TabFocus) order.append(widget);
            widget = widget->nextInFocusChain();
        } while (widget != &form->Text1);
        const QList<QWidget*> expected{&form->Text1, &form->Picture1, &form->Picture2, &form->Picture3};
        QCOMPARE(order, expected);
        QCOMPARE(form->focusWidget(), &form->Text1);
    }

    void menuIsHiddenUntilAsked() {
        const QList<QAction*> actions = form->mnuMenu.actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QString("Copy to Clipboard"));
        QCOMPARE(actions[1]->text(), QString("Print"));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(!form->mnuMenu.isVisible());
    }

    void picture1InFrontOfPicture2() {
        form->show();
        QCOMPARE(form->childAt(20, 60), &form->Picture1);
        QCOMPARE(form->childAt(500, 60), &form->Picture2);
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
        QVERIFY(IsBlank(form->Picture1.Image().Image()));
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
        QTest::newRow("no pattern") << "A#B@C#" << "#@";
        QTest::newRow("punctuation") << "HI!,?" << "!,?";
        QTest::newRow("accented") << "CAFÉ é" << "Éé";
        QTest::newRow("outside the code page") << QString::fromUtf8("Ж1") << QString::fromUtf8("Ж");
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

    void rightPressElsewhereOpensNoMenu() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mousePress(&form->Picture2, Qt::RightButton, {}, QPoint(400, 50));
        QTest::mousePress(&form->Picture3, Qt::RightButton, {}, QPoint(10, 10));
        QVERIFY(QApplication::activePopupWidget() == nullptr);
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
