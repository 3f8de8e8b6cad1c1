#include <QtTest>

#include "CodePage.h"

namespace codepage = tallyline::codepage;

class CodePageTest : public QObject {
    Q_OBJECT

private slots:
    void everyCodeRoundTrips() {
        for (int code = 0; code < 256; ++code) {
            const auto byte = static_cast<std::uint8_t>(code);
            QCOMPARE(codepage::Asc(codepage::Chr(byte)), std::optional{byte});
        }
    }

    void chr_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<uint>("character");
        QTest::newRow("A") << 0x41 << 0x41u;
        QTest::newRow("euro") << 0x80 << 0x20ACu;
        QTest::newRow("unassigned 0x81 keeps its value") << 0x81 << 0x81u;
        QTest::newRow("S caron") << 0x8A << 0x160u;
        QTest::newRow("Y diaeresis") << 0x9F << 0x178u;
        QTest::newRow("no-break space") << 0xA0 << 0xA0u;
        QTest::newRow("y diaeresis") << 0xFF << 0xFFu;
    }
    void chr() {
        QFETCH(int, code);
        QFETCH(uint, character);
        QCOMPARE(uint{codepage::Chr(static_cast<std::uint8_t>(code))}, character);
    }

    void ascOutsideCodePage_data() {
        QTest::addColumn<uint>("character");
        QTest::newRow("U+0080, whose code the euro took") << 0x80u;
        QTest::newRow("U+0100") << 0x100u;
        QTest::newRow("Cyrillic A") << 0x410u;
        QTest::newRow("U+20AD, next to the euro") << 0x20ADu;
        QTest::newRow("emoji") << 0x1F600u;
        QTest::newRow("beyond Unicode") << 0x110000u;
        QTest::newRow("all bits") << 0xFFFFFFFFu;
    }
    void ascOutsideCodePage() {
        QFETCH(uint, character);
        QCOMPARE(codepage::Asc(char32_t{character}), std::nullopt);
        QCOMPARE(uint{codepage::UCase(char32_t{character})}, character);
    }

    void ucase_data() {
        QTest::addColumn<uint>("character");
        QTest::addColumn<uint>("upper");
        QTest::newRow("a") << uint{'a'} << uint{'A'};
        QTest::newRow("z") << uint{'z'} << uint{'Z'};
        QTest::newRow("A stays") << uint{'A'} << uint{'A'};
        QTest::newRow("backtick before a") << uint{'`'} << uint{'`'};
        QTest::newRow("brace after z") << uint{'{'} << uint{'{'};
        QTest::newRow("a grave") << 0xE0u << 0xC0u;
        QTest::newRow("e acute") << 0xE9u << 0xC9u;
        QTest::newRow("o diaeresis") << 0xF6u << 0xD6u;
        QTest::newRow("division sign stays") << 0xF7u << 0xF7u;
        QTest::newRow("o stroke") << 0xF8u << 0xD8u;
        QTest::newRow("thorn") << 0xFEu << 0xDEu;
        QTest::newRow("y diaeresis") << 0xFFu << 0x178u;
        QTest::newRow("s caron") << 0x161u << 0x160u;
        QTest::newRow("oe") << 0x153u << 0x152u;
        QTest::newRow("z caron") << 0x17Eu << 0x17Du;
        QTest::newRow("sharp s stays") << 0xDFu << 0xDFu;
        QTest::newRow("micro stays") << 0xB5u << 0xB5u;
        QTest::newRow("f hook stays, its capital is not in the code page") << 0x192u << 0x192u;
        QTest::newRow("multiplication sign stays") << 0xD7u << 0xD7u;
    }
    void ucase() {
        QFETCH(uint, character);
        QFETCH(uint, upper);
        QCOMPARE(uint{codepage::UCase(char32_t{character})}, upper);
    }

    // Upper case of an upper-case character is itself and never leaves the
    // code page, for all 256 codes.
    void ucaseIsStable() {
        for (int code = 0; code < 256; ++code) {
            const char32_t upper = codepage::UCase(codepage::Chr(static_cast<std::uint8_t>(code)));
            QVERIFY(codepage::Asc(upper).has_value());
            QCOMPARE(uint{codepage::UCase(upper)}, uint{upper});
        }
    }

    void ucaseTextKeepsLength() {
        const tallyline::Text text = U"a\u00DF\u00FF\u0410\U0001F600\u00F7z";
        QCOMPARE(codepage::UCase(text), tallyline::Text(U"A\u00DF\u0178\u0410\U0001F600\u00F7Z"));
    }
};

QTEST_APPLESS_MAIN(CodePageTest)
#include "tst_codepage.moc"
