#include <QtTest>

#include "engine/DrawBar.h"
#include "label/BarcodeDrawing.h"
#include "tests/support/Code39Reader.h"
#include "tests/support/RecordingSurface.h"

using namespace tallyline;

namespace {

// What a full-ASCII reader makes of the data characters, by the arithmetic of
// ISO/IEC 16388's pairs rather than by a table: "$A" to "$Z" are 1 to 26,
// "+A" to "+Z" a to z, "/A" to "/O" 33 to 47 and "/Z" 58, "%A" to "%T" four
// runs of five from 27, 59, 91 and 123, "%U" 0, "%V" 64 and "%W" 96.
QString Expanded(const QString& read) {
    QString text;
    for (qsizetype i = 0; i < read.size(); ++i) {
        const char16_t shift = read[i].unicode();
        if (!QStringLiteral("$+/%").contains(read[i]) || i + 1 == read.size()) {
            text += read[i];
            continue;
        }
        const int letter = read[++i].unicode() - u'A';
        int code = -1;
        if (shift == u'$') code = 1 + letter;
        if (shift == u'+') code = u'a' + letter;
        if (shift == u'/') code = letter == 25 ? u':' : u'!' + letter;
        if (shift == u'%') code = letter < 20 ? (27 + 32 * (letter / 5)) + letter % 5 : QList{0, 64, 96}.value(letter - 20, -1);
        text += QChar(code);
    }
    return text;
}

}  // namespace

// Full ASCII carries every ASCII code; its caption shows the text as typed.
class TestFullAscii : public QObject {
    Q_OBJECT

private slots:
    // Each code, drawn as a file draws it and read back by zbar, which gives
    // the pairs as they stand, expands to itself.
    void everyCodeReadsBack_data() {
        QTest::addColumn<QString>("text");
        for (char16_t code = 0; code < 128; ++code) QTest::addRow("%03d", int{code}) << QString(QChar(code));
        QTest::newRow("a text") << QStringLiteral("Item #42_x@y.z!");
    }
    void everyCodeReadsBack() {
        QFETCH(QString, text);
        BarcodeDrawing drawing(PictureFormat::Png, DrawingRules{true, true, false});
        QCOMPARE(drawing.Draw(text), Text());
        const QStringList read = ReadCode39(drawing.Surface().PixelView());
        QCOMPARE(read.size(), 1);
        QCOMPARE(Expanded(read.first()), text);
    }

    // The caption keeps case and shows control characters by their pictures;
    // the first sizing counts the data characters, a pair as two.
    void captionAsTyped_data() {
        QTest::addColumn<Text>("text");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("firstWidth");
        // +A +B space /C 1, with the start and stop: 10 x 1.1 x 15 modules of a pixel, 15 twips each.
        QTest::newRow("01 lower case and #") << Text(U"ab #1") << "ab #1" << "2475";
        // %U $I %T and the e acute, which has no pair and draws nothing: 9 characters.
        QTest::newRow("02 NUL, a tab, DEL, beyond ASCII")
            << Text(U"\0\t\x7F\u00E9", 4) << QString::fromUtf16(u"\u2400\u2409\u2421\u00E9") << "2227.5";
    }
    void captionAsTyped() {
        QFETCH(Text, text);
        QFETCH(QString, printed);
        QFETCH(QString, firstWidth);
        testing::RecordingSurface surface({.scaleHeightPixels = 40});
        DrawSymbol(SymbolOf(text, Code39Form::FullAscii), surface);
        QStringList log;
        for (const Text& entry : surface.Log()) log << QString::fromStdU32String(entry);
        QCOMPARE(log.filter("Width ").value(0), "Width " + firstWidth);
        QCOMPARE(log.filter("Print ").value(0), "Print " + printed);
    }
};

QTEST_MAIN(TestFullAscii)
#include "tst_fullascii.moc"
