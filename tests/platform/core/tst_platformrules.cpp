#include <QtTest>

#include <cmath>
#include <functional>

#include "platform/core/Numeric.h"
#include "platform/core/RuntimeError.h"

using Call = std::function<double()>;

// A call and what it gives: its value, or the text of the error it raises.
#define ROW(call, outcome) QTest::newRow(#call) << Call([] { return double(call); }) << QVariant(outcome)

class PlatformRulesTest : public QObject {
    Q_OBJECT

private slots:
    void arithmetic_data() {
        using namespace tallyline;
        QTest::addColumn<Call>("call");
        QTest::addColumn<QVariant>("outcome");
        ROW(CInt(1.5), 2.0);
        ROW(CInt(2.5), 2.0);
        ROW(CInt(-2.5), -2.0);
        ROW(CInt(32767.4), 32767.0);
        ROW(CInt(32767.5), "Overflow");
        ROW(CInt(-32768.5), -32768.0);
        ROW(CInt(-32768.6), "Overflow");
        ROW(CInt(std::nan("")), "Overflow");
        ROW(Mul16(15, 2184), 32760.0);
        ROW(Mul16(15, 2185), "Overflow");
        ROW(Mul16(-32768, -1), "Overflow");
        ROW(Divide(1, 0), "Division by zero");
    }
    void arithmetic() {
        QFETCH(Call, call);
        QFETCH(QVariant, outcome);
        try {
            QCOMPARE(QVariant(call()), outcome);
        } catch (const tallyline::RuntimeError& error) {
            QCOMPARE(QVariant(error.Description()), outcome);
        }
    }

};

QTEST_APPLESS_MAIN(PlatformRulesTest)
#include "tst_platformrules.moc"
