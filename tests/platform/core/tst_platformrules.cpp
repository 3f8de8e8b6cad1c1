#include <QtTest>

#include <cmath>
#include <functional>

#include "platform/core/CodePage.h"
#include "platform/core/Numeric.h"
#include "platform/core/RuntimeError.h"

namespace codepage = tallyline::codepage;
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

    // Each code reads back as itself; its upper case is in the code page and stable. Pairs of a
    // character and its upper case, also characters that stay as they are. The euro took the
    // code of U+0080; Cyrillic and what lies beyond Unicode have none.
    void codePage() {
        for (int code = 0; code < 256; ++code) {
            const auto byte = static_cast<std::uint8_t>(code);
            QCOMPARE(codepage::Asc(codepage::Chr(byte)), std::optional{byte});
            const char32_t upper = codepage::UCase(codepage::Chr(byte));
            QVERIFY(codepage::Asc(upper) && codepage::UCase(upper) == upper);
        }
        const tallyline::TextView pairs = U"aAzZ{{àÀþÞÿŸšŠœŒ÷÷ßßµµƒƒ€€\u0430\u0430😀😀";
        for (std::size_t i = 0; i < pairs.size(); i += 2)
            QCOMPARE(uint{codepage::UCase(pairs[i])}, uint{pairs[i + 1]});
        QCOMPARE(codepage::Asc(U'€'), std::optional<std::uint8_t>{0x80});
        for (const char32_t outside : {U'\u0080', U'\u0430', char32_t{0x110000}, char32_t{0xFFFFFFFF}})
            QCOMPARE(codepage::Asc(outside), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(PlatformRulesTest)
#include "tst_platformrules.moc"
