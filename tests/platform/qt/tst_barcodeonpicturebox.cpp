#include <QtTest>

#include <QRandomGenerator>

#include "engine/DrawBar.h"
#include "platform/qt/PictureBox.h"
#include "platform/qt/QtText.h"
#include "tests/support/Code39Reader.h"
#include "tests/support/PixelRows.h"

using namespace tallyline;

namespace {

const QString kCode39Characters = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");

// The barcode's box as the window lays it out: 41 x 89 pixels, so two pixels
// a module.
QImage Drawn(const QString& text, Colour background = kWindowBackground) {
    PictureBox box;
    box.Move(120, 720, 615, 1335);
    box.BackColor(background);
    DrawBarcode(ToText(text), box);
    return box.Image().Image();
}

}  // namespace

class BarcodeOnPictureBox : public QObject {
    Q_OBJECT
private slots:
    void scannerReadsTheText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("read");
        int row = 0;
        for (const QChar character : kCode39Characters) {
            QTest::addRow("%02d character '%c'", ++row, character.toLatin1()) << QString(character) << QStringList{character};
        }
        QRandomGenerator random(20261206);
        for (int sample = 0; sample < 40; ++sample) {
            QString text;
            const int length = random.bounded(1, 24);
            for (int i = 0; i < length; ++i) text += kCode39Characters[random.bounded(kCode39Characters.size())];
            QTest::addRow("%02d sample %d", ++row, sample) << text << QStringList{text};
        }
        QTest::newRow("84 lower case") << "tally line 7" << QStringList{"TALLY LINE 7"};
        QTest::newRow("85 without patterns") << QStringLiteral("A#B@\u00E9C!D") << QStringList{"ABCD"};
        // A star draws a start/stop character in the middle: no symbol to read.
        QTest::newRow("86 star inside") << "AB*CD" << QStringList{};
    }
    void scannerReadsTheText() {
        QFETCH(QString, text);
        QFETCH(QStringList, read);
        QCOMPARE(ReadCode39(Drawn(text)), read);
    }

    // Drawn before the box is narrowed to fit, and still there afterwards:
    // start character, A, 1, stop character, one white module and one of
    // background. Margins and gaps are white whatever the background; beneath
    // the bars only the caption, centred, stands on it.
    void layoutFollowsTheModules() {
        QString expected;
        for (const QChar module : QString(".#..#.##.##.#" ".##.#.#..#.##" ".##.#..#.#.##" ".#..#.##.##.#" ".-")) {
            expected += QString(2, module);
        }
        const QImage image = Drawn(QStringLiteral("A1"), kPanel);
        QCOMPARE(image.size(), QSize(expected.size(), 89));
        int captionTop = 0;
        while (captionTop < image.height() && PixelRow(image, captionTop) == expected) ++captionTop;
        QVERIFY2(captionTop > 40, qPrintable(PixelRow(image, 0)));
        QString ink(image.width(), '-');
        for (int y = captionTop; y < image.height(); ++y) {
            const QString row = PixelRow(image, y);
            QVERIFY(!row.contains('.'));
            for (int x = 0; x < row.size(); ++x) ink[x] = row[x] == '-' ? ink[x] : '#';
        }
        const int left = ink.indexOf('#');
        const int right = ink.lastIndexOf('#') + 1;
        QVERIFY2(left >= 0 && std::abs(left + right - image.width()) <= 2, qPrintable(ink));
    }
};

QTEST_MAIN(BarcodeOnPictureBox)
#include "tst_barcodeonpicturebox.moc"
