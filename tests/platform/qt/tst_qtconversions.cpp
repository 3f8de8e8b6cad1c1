#include <QtTest>

#include "QtColour.h"
#include "QtText.h"

using namespace tallyline;

Q_DECLARE_METATYPE(tallyline::Text)

class QtConversions : public QObject {
    Q_OBJECT
private slots:
    void textFromUtf16_data() {
        QTest::addColumn<QString>("utf16");
        QTest::addColumn<Text>("text");
        QTest::newRow("code page letters") << QStringLiteral("Ab1 \u00E9\u20AC") << Text(U"Ab1 \u00E9\u20AC");
        QTest::newRow("surrogate pair") << QStringLiteral("A\U0001F600B") << Text(U"A\U0001F600B");
        QTest::newRow("lone high half") << (QString(QChar(0xD83D)) + 'A') << Text(U"\uFFFDA");
        QTest::newRow("lone low half at the end") << (QString('A') + QChar(0xDE00)) << Text(U"A\uFFFD");
        QTest::newRow("halves swapped") << (QString(QChar(0xDE00)) + QChar(0xD83D)) << Text(U"\uFFFD\uFFFD");
    }
    void textFromUtf16() {
        QFETCH(QString, utf16);
        QFETCH(Text, text);
        QVERIFY(ToText(utf16) == text);
        QCOMPARE(ToQString(text) == utf16, text.find(U'\uFFFD') == Text::npos);
    }

    void valuesThatAreNoCharacterBecomeReplacements() {
        QCOMPARE(ToQString(Text{0xD800, 0x110000, 0xFFFFFFFF}), QStringLiteral("\uFFFD\uFFFD\uFFFD"));
    }

    void colours() {
        QCOMPARE(ToQColor(RGB(212, 208, 200)), QColor(212, 208, 200));
        QCOMPARE(ToQColor(kWindowBackground), QColor(Qt::white));
        QCOMPARE(ToQColor(kWindowText), QColor(Qt::black));
    }
};

QTEST_APPLESS_MAIN(QtConversions)
#include "tst_qtconversions.moc"
