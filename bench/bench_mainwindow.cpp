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

// Times the keystroke that fills the text box of the shown window, each time
// to the repainted picture, and takes it back untimed.
void TimeKeystrokes(benchmark::State& state, QWidget& window, QLineEdit& text, QWidget& picture) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) state.SkipWithError("window not exposed");
    text.setText(kOneShortOfFull);
    text.setCursorPosition(static_cast<int>(kOneShortOfFull.size()));
    for (auto _ : state) {
        QTest::keyClick(&text, Qt::Key_Slash);
        picture.repaint();
        state.PauseTiming();
        QTest::keyClick(&text, Qt::Key_Backspace);
        picture.repaint();
        state.ResumeTiming();
    }
}

void BM_Keystroke(benchmark::State& state) {
    FailOnReport reporter;
    frmBarCode form(reporter, NoPrinter);
    TimeKeystrokes(state, form, form.Text1, form.Picture1);
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

// The floor under BM_Keystroke: the toolkit's own work for the same keystroke
// in a text box and the repaint of a picture beside it that nothing redraws.
void BM_BareKeystroke(benchmark::State& state) {
    BareWindow bare;
    TimeKeystrokes(state, bare.window, bare.text, bare.picture);
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
