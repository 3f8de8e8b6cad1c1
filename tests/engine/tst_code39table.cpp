#include <QtTest>

#include <algorithm>
#include <array>

#include "Code39Table.h"
#include "DrawBar.h"
#include "RecordingSurface.h"

using tallyline::testing::RecordingSurface;

namespace {

struct Entry {
    int code;
    const char* pattern;
    // Leading gap, then bar, space, bar, space, bar, space, bar, space, bar.
    const char* widths;
};

constexpr std::array<Entry, 46> kFilled = {{
    {1, "1 1221", "1 1 2 1 1 2 1 2 1 1"},   {2, "1 1221", "1 1 2 1 1 2 1 2 1 1"},
    {' ', "1 2121", "1 1 2 2 1 1 1 2 1 1"}, {'$', "1 1 1 11", "1 1 2 1 2 1 2 1 1 1"},
    {'%', "11 1 1 1", "1 1 1 1 2 1 2 1 2 1"}, {'*', "1 1221", "1 1 2 1 1 2 1 2 1 1"},
    {'+', "1 11 1 1", "1 1 2 1 1 1 2 1 2 1"}, {'-', "1 1122", "1 1 2 1 1 1 1 2 1 2"},
    {'.', "2 1121", "1 2 2 1 1 1 1 2 1 1"}, {'/', "1 1 11 1", "1 1 2 1 2 1 1 1 2 1"},
    {'0', "11 221", "1 1 1 1 2 2 1 2 1 1"}, {'1', "21 112", "1 2 1 1 2 1 1 1 1 2"},
    {'2', "12 112", "1 1 1 2 2 1 1 1 1 2"}, {'3', "22 111", "1 2 1 2 2 1 1 1 1 1"},
    {'4', "11 212", "1 1 1 1 2 2 1 1 1 2"}, {'5', "21 211", "1 2 1 1 2 2 1 1 1 1"},
    {'6', "12 211", "1 1 1 2 2 2 1 1 1 1"}, {'7', "11 122", "1 1 1 1 2 1 1 2 1 2"},
    {'8', "21 121", "1 2 1 1 2 1 1 2 1 1"}, {'9', "12 121", "1 1 1 2 2 1 1 2 1 1"},
    {'A', "211 12", "1 2 1 1 1 1 2 1 1 2"}, {'B', "121 12", "1 1 1 2 1 1 2 1 1 2"},
    {'C', "221 11", "1 2 1 2 1 1 2 1 1 1"}, {'D', "112 12", "1 1 1 1 1 2 2 1 1 2"},
    {'E', "212 11", "1 2 1 1 1 2 2 1 1 1"}, {'F', "122 11", "1 1 1 2 1 2 2 1 1 1"},
    {'G', "111 22", "1 1 1 1 1 1 2 2 1 2"}, {'H', "211 21", "1 2 1 1 1 1 2 2 1 1"},
    {'I', "121 21", "1 1 1 2 1 1 2 2 1 1"}, {'J', "112 21", "1 1 1 1 1 2 2 2 1 1"},
    {'K', "2111 2", "1 2 1 1 1 1 1 1 2 2"}, {'L', "1211 2", "1 1 1 2 1 1 1 1 2 2"},
    {'M', "2211 1", "1 2 1 2 1 1 1 1 2 1"}, {'N', "1121 2", "1 1 1 1 1 2 1 1 2 2"},
    {'O', "2121 1", "1 2 1 1 1 2 1 1 2 1"}, {'P', "1221 1", "1 1 1 2 1 2 1 1 2 1"},
    {'Q', "1112 2", "1 1 1 1 1 1 1 2 2 2"}, {'R', "2112 1", "1 2 1 1 1 1 1 2 2 1"},
    {'S', "1212 1", "1 1 1 2 1 1 1 2 2 1"}, {'T', "1122 1", "1 1 1 1 1 2 1 2 2 1"},
    {'U', "2 1112", "1 2 2 1 1 1 1 1 1 2"}, {'V', "1 2112", "1 1 2 2 1 1 1 1 1 2"},
    {'W', "2 2111", "1 2 2 2 1 1 1 1 1 1"}, {'X', "1 1212", "1 1 2 1 1 2 1 1 1 2"},
    {'Y', "2 1211", "1 2 2 1 1 2 1 1 1 1"}, {'Z', "1 2211", "1 1 2 2 1 2 1 1 1 1"},
}};

// Lengths of the runs of equal modules, "0110" giving "1 2 1".
QString RunLengths(const std::string& modules) {
    QStringList runs;
    for (std::size_t start = 0; start < modules.size();) {
        std::size_t end = start;
        while (end < modules.size() && modules[end] == modules[start]) ++end;
        runs << QString::number(end - start);
        start = end;
    }
    return runs.join(' ');
}

}  // namespace

class Code39TableTest : public QObject {
    Q_OBJECT

private slots:
    // The character is drawn between the start and stop characters at one
    // pixel a module, so its 13 modules are the middle third of the symbol.
    void filledEntryDrawsItsWidths_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("widths");
        for (const Entry& entry : kFilled) {
            QTest::addRow("%d", entry.code) << entry.code << entry.pattern << entry.widths;
        }
    }
    void filledEntryDrawsItsWidths() {
        QFETCH(int, code);
        QFETCH(QString, pattern);
        QFETCH(QString, widths);
        QCOMPARE(QString::fromUtf8(tallyline::Code39Table()[code]), pattern);

        RecordingSurface surface({.scaleHeightPixels = 40});
        tallyline::DrawBarcode(tallyline::Text(1, static_cast<char32_t>(code)), surface);
        const std::string modules = surface.Modules(1);
        QCOMPARE(modules.size(), std::size_t{3 * 13 + 1});
        QCOMPARE(RunLengths(modules.substr(13, 13)), widths);
    }

    void everyOtherEntryIsEmpty() {
        const auto table = tallyline::Code39Table();
        for (int code = 0; code < static_cast<int>(table.size()); ++code) {
            const bool filled = std::any_of(kFilled.begin(), kFilled.end(),
                                            [&](const Entry& entry) { return entry.code == code; });
            QVERIFY2(table[code].empty() != filled, qPrintable(QString::number(code)));
        }
    }
};

QTEST_APPLESS_MAIN(Code39TableTest)
#include "tst_code39table.moc"
