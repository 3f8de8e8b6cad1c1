#include <QtTest>

#include "QtColour.h"
#include "QtText.h"

using namespace tallyline;

Q_DECLARE_METATYPE(tallyline::Text)

class QtConversions : public QObject {
    Q_OBJECT
private slots:
    void textFromUtf16_data();
    void textFromUtf16();
    void valuesThatAreNoCharacterBecomeReplacements_data();
    void valuesThatAreNoCharacterBecomeReplacements();
    void colours_data();
    void colours();
};

void QtConversions::textFromUtf16_data() {
    QTest::addColumn<QString>("utf16");
    QTest::addColumn<Text>("text");
    QTest::addColumn<bool>("roundTrips");
    QTest::newRow("code page letters") << QStringLiteral("Ab1 \u00E9\u20AC") << Text(U"Ab1 \u00E9\u20AC") << true;
    QTest::newRow("surrogate pair") << QStringLiteral("A\U0001F600B") << Text(U"A\U0001F600B") << true;
    QTest::newRow("lone high half") << (QString(QChar(0xD83D)) + 'A') << Text(U"\uFFFDA") << false;
    QTest::newRow("lone low half at the end") << (QString('A') + QChar(0xDE00)) << Text(U"A\uFFFD") << false;
    QTest::newRow("halves swapped") << (QString(QChar(0xDE00)) + QChar(0xD83D)) << Text(U"\uFFFD\uFFFD") << false;
}

void QtConversions::textFromUtf16() {
    QFETCH(QString, utf16);
    QFETCH(Text, text);
    QFETCH(bool, roundTrips);
    QVERIFY(ToText(utf16) == text);
    QCOMPARE(ToQString(text) == utf16, roundTrips);
}

void QtConversions::valuesThatAreNoCharacterBecomeReplacements_data() {
    QTest::addColumn<Text>("text");
    QTest::newRow("surrogate half") << Text{0xD800};
    QTest::newRow("beyond Unicode") << Text{0x110000};
    QTest::newRow("largest value") << Text{0xFFFFFFFF};
}

void QtConversions::valuesThatAreNoCharacterBecomeReplacements() {
    QFETCH(Text, text);
    QCOMPARE(ToQString(text), QStringLiteral("\uFFFD"));
}

void QtConversions::colours_data() {
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<QColor>("qt");
    QTest::newRow("red in the low byte") << RGB(212, 208, 200) << QColor(212, 208, 200);
    QTest::newRow("window background") << kWindowBackground << QColor(Qt::white);
    QTest::newRow("window text") << kWindowText << QColor(Qt::black);
    QTest::newRow("button text") << kButtonText << QColor(Qt::black);
}

void QtConversions::colours() {
    QFETCH(Colour, colour);
    QFETCH(QColor, qt);
    QCOMPARE(ToQColor(colour), qt);
}

QTEST_APPLESS_MAIN(QtConversions)
#include "tst_qtconversions.moc"
