// Reading a window's saved design data: the typed values a person may write,
// and an error that names the line and the key for anything else.
#include <QtTest>

#include "DesignData.h"
#include "DesignFont.h"
#include "RuntimeError.h"

using namespace tallyline;

class TestDesignData : public QObject {
    Q_OBJECT

private slots:
    void readsEveryKindOfValue() {
        const DesignData data = ReadDesignData(
            "# comment\r\n"
            "\n"
            "[first]\n"
            "  Count = -2147483648\n"
            "flag = TRUE\n"
            "text = \"say \\\"hi\\\"\\\\ \\n\"  \n"
            "font = Font( \"MS Sans Serif\" , 8.25 , 400 )\n"
            "[second]\n"
            "count = 7\n");
        QCOMPARE(data.instances.size(), std::size_t{2});
        const PropertyBag& first = *data.Find(QStringLiteral("FIRST"));
        QCOMPARE(first.ReadProperty(QStringLiteral("count"), 0), PropertyValue(std::int32_t{-2147483647 - 1}));
        QCOMPARE(first.ReadProperty(QStringLiteral("Flag"), false), PropertyValue(true));
        QCOMPARE(first.ReadProperty(QStringLiteral("text"), 0), PropertyValue(QStringLiteral("say \"hi\"\\ \n")));
        QCOMPARE(first.ReadProperty(QStringLiteral("font"), 0),
                 PropertyValue(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, 400)));
        QCOMPARE(data.Find(QStringLiteral("second"))->ReadProperty(QStringLiteral("count"), 0),
                 PropertyValue(std::int32_t{7}));
        QCOMPARE(data.Find(QStringLiteral("third")), nullptr);
    }

    void badDataNamesLineAndKey_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("truncated text") << QByteArray("[a]\ncaption = \"Copy to") << "line 2, \"caption\"";
        QTest::newRow("truncated font") << QByteArray("[a]\nfont = Font(\"MS Sans Serif\", 8.2") << "line 2, \"font\"";
        QTest::newRow("no value") << QByteArray("[a]\nx =") << "line 2, \"x\"";
        QTest::newRow("no equals sign") << QByteArray("[a]\nx 5") << "line 2, \"x\"";
        QTest::newRow("unknown word") << QByteArray("[a]\nenabled = maybe") << "line 2, \"enabled\"";
        QTest::newRow("text after value") << QByteArray("[a]\nx = 5 6") << "line 2, \"x\"";
        QTest::newRow("integer too large") << QByteArray("[a]\nx = 2147483648") << "line 2, \"x\"";
        QTest::newRow("font too small") << QByteArray("[a]\nf = Font(\"A\", 0.5, 400)") << "line 2, \"f\"";
        QTest::newRow("font size not finite") << QByteArray("[a]\nf = Font(\"A\", 1e999, 400)") << "line 2, \"f\"";
        QTest::newRow("font weight") << QByteArray("[a]\nf = Font(\"A\", 8, 0)") << "line 2, \"f\"";
        QTest::newRow("unknown escape") << QByteArray("[a]\nt = \"\\q\"") << "line 2, \"t\"";
        QTest::newRow("key twice") << QByteArray("[a]\nx = 1\nX = 2") << "line 3, \"X\"";
        QTest::newRow("entry before instance") << QByteArray("x = 1") << "line 1, \"x\"";
        QTest::newRow("instance twice") << QByteArray("[a]\n[A]") << "line 2";
        QTest::newRow("unclosed instance") << QByteArray("[a\n") << "line 1";
        QTest::newRow("garbage") << QByteArray("[a]\n\x01\xff\xfe") << "line 2";
    }

    void badDataNamesLineAndKey() {
        QFETCH(QByteArray, text);
        QFETCH(QString, where);
        try {
            ReadDesignData(text);
            QFAIL("no error");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Number(), ErrorNumber::InvalidFileFormat);
            QVERIFY2(QString::fromUtf8(error.what()).contains(where), error.what());
        }
    }

    void aMissingFileIsFileNotFound() {
        try {
            ReadDesignDataFile(QStringLiteral("/nonexistent/frmBarCode.design"));
            QFAIL("no error");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Number(), ErrorNumber::FileNotFound);
        }
    }

    // Keys in any case find the same entry, and a value equal to its
    // default is not kept.
    void theBagMatchesKeysInAnyCaseAndKeepsOnlyNonDefaults() {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("A"), QStringLiteral("B"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("CAPTION"), 0), PropertyValue(QStringLiteral("A")));
        bag.WriteProperty(QStringLiteral("caption"), QStringLiteral("B"), QStringLiteral("B"));
        QVERIFY(!bag.Contains(QStringLiteral("Caption")));
        bag.WriteProperty(QStringLiteral("State"), std::int32_t{0}, std::int32_t{0});
        QCOMPARE(bag.Count(), std::size_t{0});
        QCOMPARE(bag.ReadProperty(QStringLiteral("State"), std::int32_t{3}), PropertyValue(std::int32_t{3}));
    }

    void conversions_data() {
        QTest::addColumn<PropertyValue>("value");
        QTest::addColumn<QString>("boolean");  // "error" when it does not convert
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("true") << PropertyValue(true) << "1" << "-1" << "True";
        QTest::newRow("zero") << PropertyValue(std::int32_t{0}) << "0" << "0" << "0";
        QTest::newRow("\" False \"") << PropertyValue(QStringLiteral(" False ")) << "0" << "error" << " False ";
        QTest::newRow("\"2.5\"") << PropertyValue(QStringLiteral("2.5")) << "1" << "2" << "2.5";
        QTest::newRow("\"maybe\"") << PropertyValue(QStringLiteral("maybe")) << "error" << "error" << "maybe";
        QTest::newRow("font") << PropertyValue(QFont()) << "error" << "error" << "error";
    }

    void conversions() {
        QFETCH(PropertyValue, value);
        const QString key = QStringLiteral("Key");
        const auto attempt = [](auto&& convert) {
            try {
                return convert();
            } catch (const RuntimeError&) {
                return QStringLiteral("error");
            }
        };
        QTEST(attempt([&] { return QString::number(CBool(value, key)); }), "boolean");
        QTEST(attempt([&] { return QString::number(CLng(value, key)); }), "number");
        QTEST(attempt([&] { return CStr(value, key); }), "text");
    }
};

QTEST_MAIN(TestDesignData)
#include "tst_designdata.moc"
