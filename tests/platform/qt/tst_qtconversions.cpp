#include <QtTest>

#include "platform/qt/QtText.h"

using namespace tallyline;

Q_DECLARE_METATYPE(tallyline::Text)

class QtConversions : public QObject {
    Q_OBJECT
private slots:
    // A surrogate pair is one character; a half on its own names none and becomes U+FFFD,
    // so only texts without one read back the same.
    void textFromUtf16_data() {
        QTest::addColumn<QString>("utf16");
        QTest::addColumn<Text>("text");
        QTest::newRow("01 surrogate pair") << QStringLiteral("\u00E9\U0001F600\u20AC") << Text(U"\u00E9\U0001F600\u20AC");
        QTest::newRow("02 lone high half") << (QString(QChar(0xD83D)) + 'A') << Text(U"\uFFFDA");
        QTest::newRow("03 halves swapped") << (QString(QChar(0xDE00)) + QChar(0xD83D)) << Text(U"\uFFFD\uFFFD");
    }
    void textFromUtf16() {
        QFETCH(QString, utf16);
        QFETCH(Text, text);
        QVERIFY(ToText(utf16) == text);
        QCOMPARE(ToQString(text) == utf16, text.find(U'\uFFFD') == Text::npos);
    }
};

QTEST_APPLESS_MAIN(QtConversions)
#include "tst_qtconversions.moc"
