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
};

QTEST_MAIN(TestDesignData)
#include "tst_designdata.moc"
