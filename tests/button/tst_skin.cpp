// The skin bitmap as kept with the button: its format, and every pixel that
// gives a face its look.
#include <QFile>
#include <QtTest>

#include "IndexedBmp.h"
#include "SkinCells.h"

namespace {

constexpr int kFileSize = 3010;
constexpr int kBitsOffset = 14 + 40 + 256 * 4;
constexpr int kStride = 92;
constexpr int kHeight = 21;

quint32 LittleEndian(const QByteArray& bytes, int at, int size) {
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<quint8>(bytes[at + i]);
    return value;
}

QByteArray SkinFile() {
    QFile file(QStringLiteral(SKIN_FILE));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Decoded by hand, not by an image library, so that the format itself is checked.
QRgb Pixel(const QByteArray& bmp, int cell, int x, int y) {
    const int index = static_cast<quint8>(bmp[kBitsOffset + (kHeight - 1 - y) * kStride + cell * 18 + x]);
    const int entry = 54 + 4 * index;
    return qRgb(static_cast<quint8>(bmp[entry + 2]), static_cast<quint8>(bmp[entry + 1]),
                static_cast<quint8>(bmp[entry]));
}

struct Run {
    int x0, x1, y0, y1;
    QRgb colour;
};

// The outer border that every face but the disabled one shares.
const std::vector<Run> kOuterBorder = {
    {3, 14, 0, 0, 0x003C74}, {3, 14, 20, 20, 0x003C74}, {0, 0, 3, 17, 0x003C74}, {17, 17, 3, 17, 0x003C74},
    {0, 0, 0, 0, 0xDDD7C5},  {1, 1, 0, 0, 0x65869F},    {0, 0, 1, 1, 0x65869F},  {2, 2, 0, 0, 0x225583},
    {0, 0, 2, 2, 0x225583},  {15, 15, 0, 0, 0x154C7D},  {16, 16, 0, 0, 0x577C99}, {17, 17, 0, 0, 0xE1DCCA},
    {17, 17, 1, 1, 0x6586A0}, {17, 17, 2, 2, 0x225583}, {0, 0, 18, 18, 0x154C7D}, {0, 0, 19, 19, 0x567B99},
    {0, 0, 20, 20, 0xECEAD9}, {1, 1, 20, 20, 0x6A8BA3}, {2, 2, 20, 20, 0x225583}, {15, 15, 20, 20, 0x154C7D},
    {16, 16, 20, 20, 0x6184A0}, {17, 17, 20, 20, 0xF9F8F2}, {17, 17, 19, 19, 0x5E829E}, {17, 17, 18, 18, 0x154C7D},
};

const std::vector<Run> kNormal = {
    {2, 15, 1, 1, 0xFFFFFF},   {1, 16, 2, 2, 0xFEFEFE},   {3, 14, 3, 3, 0xFCFCFB},   {3, 14, 16, 16, 0xF0F0EA},
    {15, 15, 10, 10, 0xEEEDE7}, {16, 16, 10, 10, 0xE8E5DF}, {1, 16, 17, 17, 0xECEBE6}, {1, 16, 18, 18, 0xE2DFD6},
    {2, 15, 19, 19, 0xD6D0C5}, {1, 1, 1, 1, 0x557DA2},    {16, 16, 1, 1, 0x557DA2},  {1, 1, 19, 19, 0x4A7193},
    {16, 16, 19, 19, 0x486E90},
};

const std::vector<Run> kPressed = {
    {2, 15, 1, 1, 0xD1CCC1},   {1, 16, 2, 2, 0xDCD8CF},   {3, 14, 3, 3, 0xE5E4DD},   {3, 14, 15, 15, 0xE0E0D7},
    {1, 1, 10, 10, 0xD7D4CB},  {2, 2, 10, 10, 0xDDDBD3},  {1, 16, 18, 18, 0xEAE9E3}, {2, 15, 19, 19, 0xF2F1EE},
    {1, 1, 1, 1, 0x466D8E},    {16, 16, 1, 1, 0x497092},  {1, 1, 19, 19, 0x4D7598},  {16, 16, 19, 19, 0x4F779B},
};

const std::vector<Run> kDisabled = {
    {1, 16, 0, 0, 0xC9C7BA},   {1, 16, 20, 20, 0xC9C7BA}, {0, 0, 1, 19, 0xC9C7BA},   {17, 17, 1, 19, 0xC9C7BA},
    {0, 0, 0, 0, 0xFFFFFF},    {17, 17, 0, 0, 0xFFFFFF},  {0, 0, 20, 20, 0xFFFFFF},  {17, 17, 20, 20, 0xFFFFFF},
    {1, 1, 1, 1, 0xD8D6CA},    {16, 16, 1, 1, 0xD8D6CA},  {1, 1, 19, 19, 0xD8D6CA},  {16, 16, 19, 19, 0xD8D6CA},
    {3, 14, 1, 19, 0xF5F4EA},  {1, 16, 3, 17, 0xF5F4EA},
};

const std::vector<Run> kHover = {
    {3, 14, 1, 1, 0xFFF0CF},   {3, 14, 2, 2, 0xFDD889},   {1, 1, 3, 3, 0xFEDF9A},    {16, 16, 3, 3, 0xFEDF9A},
    {2, 2, 3, 3, 0xFCD279},    {15, 15, 3, 3, 0xFCD279},  {1, 1, 17, 17, 0xF9B435},  {16, 16, 17, 17, 0xF9B435},
    {2, 2, 17, 17, 0xF8B535},  {15, 15, 17, 17, 0xF8B535}, {2, 15, 18, 18, 0xF8B330}, {2, 15, 19, 19, 0xE59700},
    {1, 1, 1, 1, 0x8D9EA1},    {16, 16, 1, 1, 0x8D9EA1},  {1, 1, 19, 19, 0x848671},  {16, 16, 19, 19, 0x83846F},
};

const std::vector<Run> kHighlighted = {
    {2, 15, 1, 1, 0xCEE7FF},   {1, 16, 2, 2, 0xBCD4F6},   {1, 2, 3, 3, 0xBAD3F5},    {15, 16, 3, 3, 0xBAD3F5},
    {1, 2, 17, 17, 0x89ADE4},  {15, 16, 17, 17, 0x89ADE4}, {1, 16, 18, 18, 0x89ADE4}, {3, 15, 19, 19, 0x6982EE},
    {2, 2, 19, 19, 0x4D7DC1},  {1, 1, 1, 1, 0x274D85},    {16, 16, 1, 1, 0x274D85},  {1, 1, 19, 19, 0x274D85},
    {16, 16, 19, 19, 0x274D85},
};

}  // namespace

Q_DECLARE_METATYPE(Run)

class TestSkin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { bmp_ = SkinFile(); }

    void isAnEightBitPalettizedBitmapOfExactly3010Bytes() {
        QCOMPARE(bmp_.size(), kFileSize);
        QCOMPARE(bmp_.left(2), QByteArray("BM"));
        QCOMPARE(LittleEndian(bmp_, 2, 4), quint32{kFileSize});
        QCOMPARE(LittleEndian(bmp_, 10, 4), quint32{kBitsOffset});
        QCOMPARE(LittleEndian(bmp_, 14, 4), quint32{40});
        QCOMPARE(LittleEndian(bmp_, 18, 4), quint32{90});
        QCOMPARE(LittleEndian(bmp_, 22, 4), quint32{21});  // positive: rows bottom-up
        QCOMPARE(LittleEndian(bmp_, 26, 2), quint32{1});
        QCOMPARE(LittleEndian(bmp_, 28, 2), quint32{8});
        QCOMPARE(LittleEndian(bmp_, 30, 4), quint32{0});  // uncompressed
        QCOMPARE(LittleEndian(bmp_, 46, 4), quint32{256});
    }

    void isWhatTheGeneratorDraws() {
        const auto drawn = skingen::EncodeIndexedBmp(skingen::DrawSkin());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(drawn.data()), static_cast<qsizetype>(drawn.size())), bmp_);
    }

    void tellingPixels_data() {
        QTest::addColumn<int>("cell");
        QTest::addColumn<Run>("run");
        const auto add = [](const char* face, int cell, const std::vector<Run>& runs) {
            for (const Run& run : runs) {
                QTest::addRow("%s (%d..%d, %d..%d)", face, run.x0, run.x1, run.y0, run.y1) << cell << run;
            }
        };
        for (const int cell : {0, 1, 3, 4}) add(qPrintable(QStringLiteral("border of %1").arg(cell)), cell, kOuterBorder);
        add("FaceNormal", 0, kNormal);
        add("FacePressed", 1, kPressed);
        add("FaceDisabled", 2, kDisabled);
        add("FaceHover", 3, kHover);
        add("FaceHighlighted", 4, kHighlighted);
    }

    void tellingPixels() {
        QFETCH(int, cell);
        QFETCH(Run, run);
        for (int y = run.y0; y <= run.y1; ++y) {
            for (int x = run.x0; x <= run.x1; ++x) {
                QCOMPARE(Pixel(bmp_, cell, x, y), qRgb(qRed(run.colour), qGreen(run.colour), qBlue(run.colour)));
            }
        }
    }

    void disabledPixelsBesideTheInnerCorners() {
        for (const auto& [x, y] : {std::pair{2, 1}, {1, 2}, {15, 1}, {16, 2}, {1, 18}, {2, 19}, {16, 18}, {15, 19}}) {
            const QRgb colour = Pixel(bmp_, 2, x, y);
            QVERIFY2(colour == qRgb(0xEA, 0xE9, 0xDE) || colour == qRgb(0xEE, 0xED, 0xE2),
                     qPrintable(QStringLiteral("(%1,%2)").arg(x).arg(y)));
        }
    }

    void hoverAndHighlightedMiddlesEqualTheNormalOne() {
        for (const int cell : {3, 4}) {
            for (int y = 3; y <= 17; ++y) {
                for (int x = 3; x <= 14; ++x) QCOMPARE(Pixel(bmp_, cell, x, y), Pixel(bmp_, 0, x, y));
            }
        }
    }

private:
    QByteArray bmp_;
};

QTEST_GUILESS_MAIN(TestSkin)
#include "tst_skin.moc"
