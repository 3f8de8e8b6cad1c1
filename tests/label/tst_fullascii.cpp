#include <QtTest>

#include "engine/DrawBar.h"
#include "label/BarcodeDrawing.h"
#include "platform/picture/PictureSurface.h"
#include "tests/support/Code39Reader.h"

using namespace tallyline;

namespace {

// The window's picture surface, 40 pixels high, noting what it prints.
struct Noted : PictureSurface {
    Noted() : PictureSurface(Keeping::Shapes) {
        Width(600);
        Height(40 * kTwipsPerPixel);
    }
    void Print(TextView text) override {
        printed = QString::fromStdU32String(Text(text));
        PictureSurface::Print(text);
    }
    QString printed;
};

}  // namespace

// Full ASCII carries every ASCII code; its caption shows the text as typed.
class TestFullAscii : public QObject {
    Q_OBJECT

private slots:
    // Each code, drawn as a file draws it and read back by zbar, which gives the pairs as drawn,
    // expands to itself by the arithmetic of ISO/IEC 16388's pairs rather than by a table: "$A"
    // to "$Z" are 1 to 26, "+A" to "+Z" a to z, "/A" to "/O" 33 to 47 and "/Z" 58, "%A" to "%T"
    // four runs of five from 27, 59, 91 and 123, "%U" 0, "%V" 64 and "%W" 96.
    void everyCodeReadsBack_data() {
        QTest::addColumn<int>("code");
        for (int code = 0; code < 128; ++code) QTest::addRow("%03d", code) << code;
    }
    void everyCodeReadsBack() {
        QFETCH(int, code);
        BarcodeDrawing drawing(FileSettings{}, DrawingRules{true, true, false});
        QCOMPARE(drawing.Draw(QString(QChar(code))), Text());
        const QStringList reads = ReadCode39(drawing.Surface().PixelView());
        QCOMPARE(reads.size(), 1);
        const QString& read = reads.first();
        const int letter = read.back().unicode() - u'A';
        const QMap<QChar, int> shifted{
            {u'$', 1 + letter},
            {u'+', u'a' + letter},
            {u'/', letter == 25 ? u':' : u'!' + letter},
            {u'%', letter < 20 ? 27 + 32 * (letter / 5) + letter % 5 : QList{0, 64, 96}.value(letter - 20)}};
        QCOMPARE(read.size() == 2 ? shifted.value(read.front(), -1) : int{read.front().unicode()}, code);
    }

    // Case kept, controls by their pictures.
    void captionAsTyped() {
        Noted surface;
        DrawSymbol(SymbolOf(Text(U"a\0\t#\x7F\u00E9", 6), Code39Form::FullAscii), surface);
        QCOMPARE(surface.printed, QString::fromUtf16(u"a\u2400\u2409#\u2421\u00E9"));
    }
};

QTEST_MAIN(TestFullAscii)
#include "tst_fullascii.moc"
