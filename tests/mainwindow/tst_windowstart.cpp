// What the window leaves unloaded until it is used: a start that loads them
// pays for their loading, relocation and memory every time, though few runs
// print or read a picture file. A test of its own, for nothing else may have
// printed or read a picture before it looks.
#include <QFile>
#include <QtTest>

#include "mainwindow/frmBarCode.h"
#include "tests/support/RecordingReporter.h"

using namespace tallyline;

namespace {

std::unique_ptr<QPrinter> NoPrinter() { return nullptr; }

// The files mapped into this process, one a line.
QByteArray MappedFiles() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return {};
    return maps.readAll();
}

}  // namespace

class WindowStart : public QObject {
    Q_OBJECT
    RecordingReporter reporter;
    QFont toolkitFont;
    std::unique_ptr<frmBarCode> window;

private slots:
    void initTestCase() {
        toolkitFont = QApplication::font();
        window = std::make_unique<frmBarCode>(reporter, NoPrinter);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(reporter.reports.isEmpty());
    }
    void cleanupTestCase() { window.reset(); }

    void nothingOfLaterUseIsLoaded_data() {
        QTest::addColumn<QByteArray>("path");  // what the path of a file that must not be mapped holds
        QTest::newRow("libcups, which a print opens") << QByteArray("/libcups.so");
        QTest::newRow("Qt's print plugins") << QByteArray("/plugins/printsupport/");
        QTest::newRow("Qt's image plugins") << QByteArray("/plugins/imageformats/");
        QTest::newRow("the JPEG decoder of one of them") << QByteArray("/libjpeg.so");
    }
    void nothingOfLaterUseIsLoaded() {
        QFETCH(QByteArray, path);
        const QByteArray mapped = MappedFiles();
        QVERIFY(mapped.contains("/libQt6Widgets.so"));
        QVERIFY2(!mapped.contains(path), path.constData());
    }
    // The window is made with its own face as the default, which must not
    // outlast its making: menus, tooltips and messages keep the desktop's.
    void theToolkitsFontIsKept() {
        QCOMPARE(QApplication::font(), toolkitFont);
        QCOMPARE(window->mnuMenu.font(), toolkitFont);
    }
};

QTEST_MAIN(WindowStart)
#include "tst_windowstart.moc"
