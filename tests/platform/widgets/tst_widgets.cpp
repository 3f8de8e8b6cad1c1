#include <QMessageBox>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QtTest>

#include "platform/widgets/ErrorReporter.h"
#include "platform/widgets/TextBox.h"

using namespace tallyline;

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    // A report is a modal box that says what failed and why, centred on the window that
    // reports belong to, else on the active window.
    void reportIsABoxOverItsWindow_data() {
        QTest::addColumn<bool>("owned");
        QTest::newRow("01 over its window") << true;
        QTest::newRow("02 over the active window") << false;
    }
    void reportIsABoxOverItsWindow() {
        QFETCH(bool, owned);
        QWidget window, active;
        window.setGeometry(200, 150, 519, 213);
        active.setGeometry(100, 300, 400, 250);
        for (QWidget* shown : {&window, &active}) shown->show();
        active.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&active));
        MessageBoxReporter reporter(" Tallyline");
        if (owned) reporter.Parent(&window);
        QWidget* const over = owned ? &window : &active;
        // The box runs its own event loop, where this timer reads and closes it.
        QString seen;
        QTimer reader;
        connect(&reader, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                const int offCentre = (box->geometry().center() - over->geometry().center()).manhattanLength();
                seen = box->windowTitle() + " | " + box->text() + (box->parentWidget() == over && offCentre <= 2 ? "" : " | elsewhere");
                box->done(0);
            }
        });
        reader.start(10);
        reporter.Report("Copying the barcode to the clipboard", "Run-time error 5: Invalid procedure call or argument");
        QCOMPARE(seen, " Tallyline | Copying the barcode to the clipboard failed.\n\n"
                       "Run-time error 5: Invalid procedure call or argument");
    }

    // The kept panel is the style's own in every look the box takes in turn: a key that left
    // out focus or colours would show the look before.
    void textBoxLooksAsTheStyleDrawsIt() {
        QWidget window;
        TextBox box(&window);
        box.setGeometry(0, 0, 249, 28);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto panel = [&](const QStyle& style) {
            QImage image(box.size(), QImage::Format_RGB32);
            image.fill(window.palette().window().color());
            QPainter painter(&image);
            QStyleOptionFrame option;
            option.initFrom(&box);
            option.lineWidth = style.pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box);
            style.drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, &box);
            return image;
        };
        for (const auto& [focused, text] : {std::pair{true, Qt::black}, {false, Qt::black}, {false, Qt::red},
                                            {true, Qt::red}, {true, Qt::black}}) {
            QPalette palette = box.palette();
            palette.setColor(QPalette::Text, text);
            palette.setColor(QPalette::Base, text == Qt::red ? Qt::yellow : Qt::white);
            box.setPalette(palette);
            focused ? box.setFocus() : box.clearFocus();
            QTRY_COMPARE(box.hasFocus(), focused);
            const QImage kept = panel(*QApplication::style()), drawn = panel(*box.style());
            for (int y = 0; y < kept.height(); ++y) {
                for (int x = 0; x < kept.width(); ++x) {
                    const QRgb a = kept.pixel(x, y), b = drawn.pixel(x, y);
                    QVERIFY(std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b))}) <= 2);
                }
            }
        }
    }
};

QTEST_MAIN(WidgetsTest)
#include "tst_widgets.moc"
