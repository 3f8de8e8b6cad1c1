// One poll of the button's pointer-leave timer with the pointer inside: the
// steady state while the pointer rests on the button. Every allocation in
// the process is counted, and the count per poll is reported beside the time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCursor>

#include <atomic>
#include <cstdlib>
#include <new>

#include "button/host/IntervalTimer.h"
#include "button/xpcmdbutton.h"
#include "platform/widgets/ErrorReporter.h"

namespace {

std::atomic<long long> allocations{0};

struct SilentReporter : tallyline::ErrorReporter {
    void Report(const QString&, const QString&) noexcept override {}
};

void BM_PollWithPointerInside(benchmark::State& state) {
    SilentReporter reporter;
    tallyline::xpcmdbutton button(QStringLiteral("xpcmdbutton1"), reporter);
    button.InitProperties();
    button.resize(97, 33);
    button.show();
    QCursor::setPos(button.mapToGlobal(QPoint(48, 16)));
    auto& timer = *button.findChild<tallyline::IntervalTimer*>(QStringLiteral("Timer1"));
    timer.Enabled(true);

    const long long before = allocations.load();
    for (auto _ : state) emit timer.Timer();
    const long long during = allocations.load() - before;

    if (!timer.Enabled()) state.SkipWithError("the poll found the pointer outside");
    state.counters["allocations_per_poll"] =
        benchmark::Counter(static_cast<double>(during) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PollWithPointerInside);

}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
