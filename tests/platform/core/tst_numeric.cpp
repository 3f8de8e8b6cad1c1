#include <QtTest>

#include <cmath>
#include <limits>
#include <optional>

#include "ErrorCapture.h"
#include "Numeric.h"

using tallyline::ErrorNumber;
using tallyline::ErrorOf;
using tallyline::RuntimeError;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

}  // namespace

class NumericTest : public QObject {
    Q_OBJECT

private slots:
    void cintRoundsTiesToEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("2.4999") << 2.4999 << 2;
        QTest::newRow("2.5001") << 2.5001 << 3;
        QTest::newRow("32767.4") << 32767.4 << 32767;
        QTest::newRow("-32768.5") << -32768.5 << -32768;
    }
    void cintRoundsTiesToEven() {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(int{tallyline::CInt(value)}, expected);
    }

    void cintOverflows_data() {
        QTest::addColumn<double>("value");
        QTest::newRow("32767.5 rounds to 32768") << 32767.5;
        QTest::newRow("32768") << 32768.0;
        QTest::newRow("-32768.6") << -32768.6;
        QTest::newRow("1e300") << 1e300;
        QTest::newRow("NaN") << kNaN;
        QTest::newRow("+inf") << kInfinity;
        QTest::newRow("-inf") << -kInfinity;
    }
    void cintOverflows() {
        QFETCH(double, value);
        QCOMPARE(ErrorOf([&] { tallyline::CInt(value); }), std::optional{ErrorNumber::Overflow});
    }

    void mul16_data() {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<std::optional<ErrorNumber>>("error");
        const std::optional<ErrorNumber> fits;
        const std::optional overflow{ErrorNumber::Overflow};
        QTest::newRow("15*2184 fits") << 15 << 2184 << fits;
        QTest::newRow("15*2185 overflows") << 15 << 2185 << overflow;
        QTest::newRow("-15*2185 overflows") << -15 << 2185 << overflow;
        QTest::newRow("-2*16384 is the least") << -2 << 16384 << fits;
        QTest::newRow("-32768*-1 overflows") << -32768 << -1 << overflow;
        QTest::newRow("-32768*-32768 overflows") << -32768 << -32768 << overflow;
        QTest::newRow("181*181 fits") << 181 << 181 << fits;
        QTest::newRow("182*182 overflows") << 182 << 182 << overflow;
    }
    void mul16() {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(std::optional<ErrorNumber>, error);
        const auto x = static_cast<std::int16_t>(a);
        const auto y = static_cast<std::int16_t>(b);
        QCOMPARE(ErrorOf([&] { tallyline::Mul16(x, y); }), error);
        if (!error) QCOMPARE(int{tallyline::Mul16(x, y)}, a * b);
    }

    void divide_data() {
        QTest::addColumn<double>("dividend");
        QTest::addColumn<double>("divisor");
        QTest::addColumn<std::optional<ErrorNumber>>("error");
        const std::optional<ErrorNumber> fine;
        QTest::newRow("1980/132") << 1980.0 << 132.0 << fine;
        QTest::newRow("by zero") << 1.0 << 0.0 << std::optional{ErrorNumber::DivisionByZero};
        QTest::newRow("by minus zero") << 1.0 << -0.0 << std::optional{ErrorNumber::DivisionByZero};
        QTest::newRow("zero by zero") << 0.0 << 0.0 << std::optional{ErrorNumber::DivisionByZero};
        QTest::newRow("quotient too large") << 1e308 << 1e-308 << std::optional{ErrorNumber::Overflow};
        QTest::newRow("NaN") << kNaN << 2.0 << std::optional{ErrorNumber::Overflow};
    }
    void divide() {
        QFETCH(double, dividend);
        QFETCH(double, divisor);
        QFETCH(std::optional<ErrorNumber>, error);
        QCOMPARE(ErrorOf([&] { tallyline::Divide(dividend, divisor); }), error);
        if (!error) QCOMPARE(tallyline::Divide(dividend, divisor), dividend / divisor);
    }

    void csng_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<std::optional<ErrorNumber>>("error");
        const std::optional<ErrorNumber> fits;
        const std::optional overflow{ErrorNumber::Overflow};
        QTest::newRow("0.1") << 0.1 << fits;
        QTest::newRow("largest float") << double{std::numeric_limits<float>::max()} << fits;
        QTest::newRow("lowest float") << double{std::numeric_limits<float>::lowest()} << fits;
        QTest::newRow("1e39") << 1e39 << overflow;
        QTest::newRow("-1e39") << -1e39 << overflow;
        QTest::newRow("NaN") << kNaN << overflow;
        QTest::newRow("inf") << kInfinity << overflow;
    }
    void csng() {
        QFETCH(double, value);
        QFETCH(std::optional<ErrorNumber>, error);
        QCOMPARE(ErrorOf([&] { tallyline::CSng(value); }), error);
        if (!error) QCOMPARE(tallyline::CSng(value), static_cast<float>(value));
    }

    void errorCarriesNumberAndText_data() {
        QTest::addColumn<ErrorNumber>("number");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("overflow") << ErrorNumber::Overflow << 6 << "Overflow";
        QTest::newRow("division") << ErrorNumber::DivisionByZero << 11 << "Division by zero";
        QTest::newRow("type") << ErrorNumber::TypeMismatch << 13 << "Type mismatch";
    }
    void errorCarriesNumberAndText() {
        QFETCH(ErrorNumber, number);
        QFETCH(int, code);
        QFETCH(QString, text);
        const RuntimeError error(number);
        QCOMPARE(static_cast<int>(error.Number()), code);
        QCOMPARE(QString::fromUtf8(error.Description()), text);
        QCOMPARE(QString::fromUtf8(error.what()), text);
    }
};

QTEST_APPLESS_MAIN(NumericTest)
#include "tst_numeric.moc"
