// Preloaded into a window program (LD_PRELOAD) by bench/start_vs_bare.sh:
// when the program's first paint has reached the screen it writes the
// monotonic clock, the processor time it took and its resident memory to the file that
// TALLYLINE_FIRST_PAINT_MARK names, the files then mapped into the program to that name
// with ".maps" added, and ends the program. Both programs the
// script compares are marked by this same code, at the same point.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// "VmRSS:    1234 kB" -> 1234, from the process's own status.
long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ':', 0) == 0) return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

long long Nanoseconds(const timeval& time) { return time.tv_sec * 1000000000LL + time.tv_usec * 1000LL; }

void Mark() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    rusage used{};
    getrusage(RUSAGE_SELF, &used);
    const char* const path = std::getenv("TALLYLINE_FIRST_PAINT_MARK");
    if (std::FILE* const file = path != nullptr ? std::fopen(path, "w") : nullptr) {
        std::fprintf(file, "%lld %lld %ld %ld\n", now.tv_sec * 1000000000LL + now.tv_nsec,
                     Nanoseconds(used.ru_utime) + Nanoseconds(used.ru_stime), StatusKilobytes("VmRSS"),
                     StatusKilobytes("VmHWM"));
        std::fclose(file);
        std::ifstream maps("/proc/self/maps");
        std::ofstream(std::string(path) + ".maps") << maps.rdbuf();
    }
    // Nothing after the first frame is measured: the program's teardown is skipped.
    _exit(0);
}

// Sees every event of the program's thread. The first paint is done and
// flushed to the X server once the event that asked for it is handled: the
// mark waits for the event loop's next turn.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, &Mark);
        }
        return false;
    }

private:
    bool seen_ = false;
};

void Watch() { QCoreApplication::instance()->installEventFilter(new FirstPaint); }

// Runs as the program's application object is made, before any window.
const bool kWatching = [] {
    qAddPreRoutine(&Watch);
    return true;
}();

}  // namespace
