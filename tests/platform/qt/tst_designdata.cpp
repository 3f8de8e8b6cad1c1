// Saved design data reads back as typed values; anything cut short or garbled
// is refused with an error that names the line and the key.
#include <QtTest>

#include "platform/core/RuntimeError.h"
#include "platform/qt/DesignData.h"
#include "platform/qt/DesignFont.h"

using namespace tallyline;

class TestDesignData : public QObject {
    Q_OBJECT
private slots:
    void readsTypedValues() {
        const DesignData data = ReadDesignData("[Button]\n  caption = \"say \\\"hi\\\"\"\nEnabled = TRUE\n"
                                               "font = Font( \"MS Sans Serif\" , 8.25 , 400 )\n");
        const PropertyBag& bag = *data.Find(QStringLiteral("button"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Caption"), 0), PropertyValue(QStringLiteral("say \"hi\"")));
        QCOMPARE(bag.ReadProperty(QStringLiteral("enabled"), false), PropertyValue(true));
        QCOMPARE(bag.ReadProperty(QStringLiteral("Font"), 0),
                 PropertyValue(DesignFont(QStringLiteral("MS Sans Serif"), 8.25, 400)));
    }

    void badDataNamesLineAndKey_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QString whole = "Invalid file format: line 2, \"x\": expected a whole number from -2147483648 to 2147483647";
        QTest::newRow("01 truncated text") << QByteArray("[a]\ncaption = \"Copy to")
                                           << "Invalid file format: line 2, \"caption\": text without its closing quote";
        QTest::newRow("02 truncated font") << QByteArray("[a]\nfont = Font(\"MS Sans Serif\", 8.2")
                                           << "Invalid file format: line 2, \"font\": expected ','";
        QTest::newRow("03 no value") << QByteArray("[a]\nx =") << whole;
        QTest::newRow("04 unknown word") << QByteArray("[a]\nenabled = maybe")
                                         << "Invalid file format: line 2, \"enabled\": unknown value \"maybe\"";
        QTest::newRow("05 text after value") << QByteArray("[a]\nx = 5 6")
                                             << "Invalid file format: line 2, \"x\": unexpected text after the value";
        // 2^31 = 2147483648, one past the largest 32-bit integer.
        QTest::newRow("06 integer too large") << QByteArray("[a]\nx = 2147483648") << whole;
        QTest::newRow("07 garbage") << QByteArray("[a]\n\x01\xff\xfe")
                                    << "Invalid file format: line 2: expected a key or an [instance]";
    }
    void badDataNamesLineAndKey() {
        QFETCH(QByteArray, text);
        try {
            ReadDesignData(text);
            QFAIL("no error");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.Number(), ErrorNumber::InvalidFileFormat);
            QTEST(QString::fromUtf8(error.what()), "message");
        }
    }
};

QTEST_MAIN(TestDesignData)
#include "tst_designdata.moc"
