#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "platform/widgets/ErrorReporter.h"

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
};

QTEST_MAIN(WidgetsTest)
#include "tst_widgets.moc"
