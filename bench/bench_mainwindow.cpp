// The main window's own costs: one keystroke from the key press to the
// repainted barcode, beside the same keystroke in the toolkit's bare window,
// and a window from its creation to its first drawn frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QtTest>

#include "bench/BareWindow.h"
#include "mainwindow/frmBarCode.h"
#include "platform/widgets/ErrorReporter.h"

namespace {

using namespace tallyline;

// 22 characters: the keystroke makes the longest text the box takes.
const QString kOneShortOfFull = QStringLiteral("CODE 39 TALLYLINE-2026");

class FailOnReport : public ErrorReporter {
public:
    void Report(const QString& action, const QString&) noexcept override {
        std::fprintf(stderr, "%s failed\n", qPrintable(action));
        std::abort();
    }
};

std::unique_ptr<QPrinter> NoPrinter() { return nullptr; }

// Counts the paints that reach a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void BM_Keystroke(benchmark::State& state) {
    FailOnReport reporter;
    frmBarCode form(reporter, NoPrinter);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) state.SkipWithError("window not exposed");
    form.Text1.setText(kOneShortOfFull);
    form.Text1.setCursorPosition(static_cast<int>(kOneShortOfFull.size()));
    for (auto _ : state) {
        QTest::keyClick(&form.Text1, Qt::Key_Slash);
        form.Picture1.repaint();
        state.PauseTiming();
        QTest::keyClick(&form.Text1, Qt::Key_Backspace);
        form.Picture1.repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

// The floor under BM_Keystroke: the toolkit's own work for the same keystroke
// in a text box and the repaint of a picture beside it that nothing redraws.
void BM_BareKeystroke(benchmark::State& state) {
    BareWindow bare;
    bare.window.show();
    if (!QTest::qWaitForWindowExposed(&bare.window)) state.SkipWithError("window not exposed");
    bare.text.setText(kOneShortOfFull);
    bare.text.setCursorPosition(static_cast<int>(kOneShortOfFull.size()));
    for (auto _ : state) {
        QTest::keyClick(&bare.text, Qt::Key_Slash);
        bare.picture.repaint();
        state.PauseTiming();
        QTest::keyClick(&bare.text, Qt::Key_Backspace);
        bare.picture.repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareKeystroke)->Unit(benchmark::kMicrosecond);

void BM_StartToFirstDrawnWindow(benchmark::State& state) {
    FailOnReport reporter;
    for (auto _ : state) {
        frmBarCode form(reporter, NoPrinter);
        PaintCounter counter;
        form.Picture1.installEventFilter(&counter);
        form.show();
        while (counter.paints == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}
BENCHMARK(BM_StartToFirstDrawnWindow)->Unit(benchmark::kMicrosecond);

}  // namespace
