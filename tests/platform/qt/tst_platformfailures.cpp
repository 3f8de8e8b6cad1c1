#include <QtTest>
#include <functional>
#include <new>
#include <stdexcept>

#include "Guarded.h"
#include "RuntimeError.h"

using namespace tallyline;

namespace {

class LastReport : public ErrorReporter {
public:
    void Report(const QString& a, const QString& r) noexcept override {
        action = a;
        reason = r;
        ++count;
    }
    QString action, reason;
    int count = 0;
};

}  // namespace

class TestPlatformFailures : public QObject {
    Q_OBJECT
private slots:
    void everyFailureIsReportedAndStopsThere_data() {
        QTest::addColumn<std::function<void()>>("failing");
        QTest::addColumn<QString>("reason");
        QTest::newRow("platform error") << std::function<void()>([] { throw RuntimeError(ErrorNumber::PrinterError); })
                                        << "Run-time error 482: Printer error";
        QTest::newRow("standard exception") << std::function<void()>([] { throw std::length_error("too long"); })
                                            << "too long";
        QTest::newRow("out of memory") << std::function<void()>([] { throw std::bad_alloc(); }) << "Out of memory.";
        QTest::newRow("anything else") << std::function<void()>([] { throw 42; })
                                       << "An unexpected error occurred.";
    }
    void everyFailureIsReportedAndStopsThere() {
        QFETCH(std::function<void()>, failing);
        QFETCH(QString, reason);
        LastReport reporter;
        bool after = false;
        Guarded(reporter, "Doing it", [&] {
            failing();
            after = true;
        });
        QCOMPARE(reporter.count, 1);
        QCOMPARE(reporter.action, QString("Doing it"));
        QCOMPARE(reporter.reason, reason);
        QVERIFY(!after);
    }

    void successReportsNothing() {
        LastReport reporter;
        Guarded(reporter, "Doing it", [] {});
        QCOMPARE(reporter.count, 0);
    }
};

QTEST_MAIN(TestPlatformFailures)
#include "tst_platformfailures.moc"
