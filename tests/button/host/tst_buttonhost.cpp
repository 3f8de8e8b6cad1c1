#include <QtTest>

#include "button/host/DesignData.h"
#include "platform/core/RuntimeError.h"
#include "platform/picture/DesignFont.h"

using namespace tallyline;

class ButtonHostTest : public QObject {
    Q_OBJECT
private slots:
    void designDataReadsTypedValues() {
        const DesignData data = ReadDesignData("[Button]\n  caption = \"say \\\"hi\\\"\"\nEnabled = TRUE\n"
                                               "font = Font( \"MS Sans Serif\" , 8.25 , 400 )\n");
        const PropertyBag& bag = *data.Find(QStringLiteral("button"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Caption"), 0), PropertyValue(QStringLiteral("say \"hi\"")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("enabled"), false), PropertyValue(true));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Font"), 0), PropertyValue(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, 400)));
    }

    // Anything cut short or garbled is refused with an error that names the line and the key.
    void badDesignDataNamesLineAndKey_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString whole = "line 2, \"x\": expected a whole number from -2147483648 to 2147483647";
        QTest::newRow("01 truncated text") << QByteArray("[a]\ncaption = \"Copy to") << "line 2, \"caption\": text without its closing quote";
        QTest::newRow("02 truncated font") << QByteArray("[a]\nfont = Font(\"MS Sans Serif\", 8.2") << "line 2, \"font\": expected ','";
        QTest::newRow("03 no value") << QByteArray("[a]\nx =") << whole;
        QTest::newRow("04 unknown word") << QByteArray("[a]\nenabled = maybe") << "line 2, \"enabled\": unknown value \"maybe\"";
        QTest::newRow("05 text after value") << QByteArray("[a]\nx = 5 6") << "line 2, \"x\": unexpected text after the value";
        // 2^31 = 2147483648, one past the largest 32-bit integer.
        QTest::newRow("06 integer too large") << QByteArray("[a]\nx = 2147483648") << whole;
        QTest::newRow("07 garbage") << QByteArray("[a]\n\x01\xff\xfe") << "line 2: expected a key or an [instance]";
    }
    void badDesignDataNamesLineAndKey() {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        try {
            ReadDesignData(text);
            QFAIL("no error");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Number(), ErrorNumber::InvalidFileFormat);
            QCOMPARE(QString::fromUtf8(error.what()), "Invalid file format: " + message);
        }
    }
};

QTEST_APPLESS_MAIN(ButtonHostTest)
#include "tst_buttonhost.moc"
