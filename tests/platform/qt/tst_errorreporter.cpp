#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "platform/qt/ErrorReporter.h"

using namespace tallyline;

// A report is a modal box that says what failed and why, centred on the
// window that reports belong to, else on the active window.
class ErrorReporterTest : public QObject {
    Q_OBJECT
private slots:
    void boxSaysWhatFailedOverItsWindow_data() {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("owned");
        QTest::addColumn<QString>("text");
        const QString copying = "Copying the barcode to the clipboard failed.\n\n";
        const QString reason = "Run-time error 5: Invalid procedure call or argument";
        QTest::newRow("01 over its window") << reason << true << copying + reason;
        QTest::newRow("02 over the active window") << reason << false << copying + reason;
        QTest::newRow("03 no reason to give") << "" << true << copying;
    }
    void boxSaysWhatFailedOverItsWindow() {
        QFETCH(QString, reason);
        QFETCH(bool, owned);
        QWidget window, active;
        window.setGeometry(200, 150, 519, 213);
        active.setGeometry(100, 300, 400, 250);
        for (QWidget* shown : {&window, &active}) shown->show();
        active.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&active));
        MessageBoxReporter reporter(" Tallyline");
        if (owned) reporter.Parent(&window);

        // The box runs its own event loop, where this timer reads and closes it.
        QString text, title;
        QWidget* over = nullptr;
        QPoint centre;
        QTimer reader;
        connect(&reader, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                title = box->windowTitle();
                over = box->parentWidget();
                centre = box->geometry().center();
                box->done(0);
            }
        });
        reader.start(10);
        reporter.Report("Copying the barcode to the clipboard", reason);
        QTEST(text, "text");
        QCOMPARE(title, QString(" Tallyline"));
        QWidget* const expected = owned ? &window : &active;
        QCOMPARE(over, expected);
        QVERIFY2((centre - expected->geometry().center()).manhattanLength() <= 2,
                 qPrintable(QString("centred at %1, %2").arg(centre.x()).arg(centre.y())));
    }
};

QTEST_MAIN(ErrorReporterTest)
#include "tst_errorreporter.moc"
