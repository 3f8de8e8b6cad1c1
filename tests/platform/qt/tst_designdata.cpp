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
        QTest::addColumn<QString>("where");
        QTest::newRow("truncated text") << QByteArray("[a]\ncaption = \"Copy to") << "line 2, \"caption\"";
        QTest::newRow("truncated font") << QByteArray("[a]\nfont = Font(\"MS Sans Serif\", 8.2") << "line 2, \"font\"";
        QTest::newRow("no value") << QByteArray("[a]\nx =") << "line 2, \"x\"";
        QTest::newRow("unknown word") << QByteArray("[a]\nenabled = maybe") << "line 2, \"enabled\"";
        QTest::newRow("text after value") << QByteArray("[a]\nx = 5 6") << "line 2, \"x\"";
        QTest::newRow("integer too large") << QByteArray("[a]\nx = 2147483648") << "line 2, \"x\"";
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
